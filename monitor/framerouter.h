#pragma once

#include "monitor/displayrow.h"
#include "monitor/pedalevent.h"

/// Decides what one live event does: whether it is filtered out, whether its
/// row reaches the tables and which pedal picture it moves with what value.
/// The window reads the settings from its selectors and carries out the answer.
class FrameRouter
{
public:
    /// The editor state the decision reads; indexes of the form's selectors.
    struct Settings
    {
        int pedalType = 0;        ///< 0 Expression, 1 Switch, 2 Hi-Hat
        bool filterTicked = false; ///< "Show only current message number" of that pedal type
        int messageNumber = 0;    ///< the selected message slot
        int expressionEvent = 0;  ///< 0 CC, 1 NOTE, 2 Pitch Bend, 3 Channel Pressure
        int triggerLevel = 0;     ///< 0 "OFF", else the level
        int switchEvent = 0;      ///< 0 CC, 1 PC, 2 NOTE, then real-time events
        int hatEvent = 0;         ///< 0 CC, 1 NOTE
    };

    enum Picture { NoPicture, ExpressionPicture, SwitchPicture, HiHatPicture };

    struct Action
    {
        /// Filtered out by message number: no row, no picture.
        bool dropped = false;
        bool appendRow = false;
        Picture picture = NoPicture;
        int pictureValue = 0;
        /// A real-time event: its row goes to the tables before the picture moves.
        bool rowFirst = false;
    };

    /// Events shown after a Note at the trigger level whose pictures stay still.
    static constexpr int triggerHoldCount = 2;

    /// frameSize is the frame's length in bytes (at least 1). ignoreCount is
    /// the window's trigger-level count, read and updated here.
    static Action route(const PedalEvent &event, const DisplayRow &row, int frameSize,
                        const Settings &settings, int &ignoreCount);
};
