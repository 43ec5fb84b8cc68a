#pragma once

#include <QString>

/// The editor's selector state as the set command reads it: current indexes
/// (-1 for an empty selector) and the few texts its rules test. The window
/// fills one from its selectors; the command builder never touches a widget.
struct EditorSnapshot {
    /// One event page with a range: expression and hi-hat pages (the Channel
    /// Pressure page keeps _val1 in min and _val2 in max).
    struct RangePage {
        int channel = 0;
        int data = 0; ///< controller or note number; unused on Pitch Bend and Channel Pressure
        int min = 0;
        int max = 127;
        int gain = 50;
        int curve = 50;
    };

    /// One switch event page with a channel and a range (CC, NOTE, PC).
    struct SwitchPage {
        int mode = 0;
        int channel = 0;
        int data = 0; ///< controller or note number; unused on PC
        int min = 0;
        int max = 127;
    };

    int pedalIndex = -1;   ///< Pedal_Number
    QString pedalText;     ///< Pedal_Number's current text
    int messageIndex = 0;  ///< Message_Number
    int pedalType = 0;     ///< PedalTypeCode of the selected pedal type; 0 when unknown
    int curveCode = 0;     ///< code of the expression response curve; 0 while there is none

    int expressionEvent = -1; ///< EventCode of the expression event selector; -1 when unknown
    RangePage expressionCc;
    RangePage expressionNote;
    RangePage expressionPitch{0, 0, 0, 16383, 50, 50};
    RangePage expressionPressure;
    int expressionTriggerLevel = 0; ///< 0..127, or 0..16383 with the Pitch Bend list
    int expressionPressNote = 0;
    int expressionReleaseNote = 0;
    bool expressionInverted = false;

    int switchEvent = -1;
    SwitchPage switchCc;
    SwitchPage switchNote;
    SwitchPage switchPc;
    int switchShownMode = 0; ///< mode selector of the switch page currently shown
    bool switchInverted = false;

    int hatEvent = -1;
    RangePage hatCc;
    RangePage hatNote;
    int hatTriggerLevel = 0;
    int hatPressNote = 0;
    int hatReleaseNote = 0;
    bool hatInverted = false;
};
