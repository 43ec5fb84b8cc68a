#pragma once

#include <QByteArray>
#include <QtGlobal>

/// Pedal type codes as the controller stores them.
enum PedalTypeCode : quint8 {
    PedalTypeExpression = 1,
    PedalTypeSwitch = 2,
    PedalTypeHiHat = 3,
};

/// Event codes as the controller stores them; also the index into the window's eventNames.
enum EventCode : quint8 {
    EventCc = 0,
    EventProgramChange = 1,
    EventNote = 2,
    EventPitchBend = 3,
    EventChannelPressure = 4,
    EventStart = 5,
    EventContinue = 6,
    EventStop = 7,
    EventTempo = 8,
};

/// Switch trigger modes; the code is the item's index in a mode selector.
enum TriggerModeCode : quint8 {
    TriggerSingle = 0,
    TriggerToggle = 1,
    TriggerReset = 2,
    TriggerIncrease = 3,
    TriggerDecrease = 4,
};

/// The definition of one message slot of one pedal. It travels as bytes 6..22
/// of the 24-byte set command and of the configuration reply; the same
/// encoder and decoder serve the application and the simulated controller.
struct PedalMessage {
    quint8 pedal = 0;            ///< pedal number counted from 0
    quint8 message = 0;          ///< message slot 0..15
    quint8 pedalType = 0;        ///< PedalTypeCode
    quint8 channel = 0;          ///< MIDI channel counted from 0
    quint8 event = 0;            ///< EventCode
    quint8 dataA = 0;            ///< meaning depends on pedal type and event
    quint8 dataB = 0;
    quint8 valueA = 0;
    quint8 valueB = 0;
    quint8 triggerMode = 0;      ///< TriggerModeCode
    quint8 gain = 0;             ///< selector index 0..100, meaning -50..+50
    quint8 triggerLevel = 0;     ///< low byte of the trigger level; 0 is OFF
    quint8 pressNote = 0;
    quint8 releaseNote = 0;
    quint8 curve = 0;            ///< selector index 0..100, meaning -50..+50
    quint8 curveCode = 0;        ///< code of the expression response curve, 0..100
    quint8 triggerLevelHigh = 0; ///< high byte of the trigger level (Pitch Bend only)

    static constexpr int FieldCount = 17;
    static constexpr int FrameOffset = 6; ///< position of the first field in a frame
    static constexpr int FrameSize = 24;

    /// The 17 field bytes in frame order.
    QByteArray toFields() const;
    /// Reads 17 field bytes; returns false (and leaves *out alone) when fewer are given.
    static bool fromFields(const QByteArray &fields, PedalMessage *out);

    /// Writes the fields into bytes 6..22 of a frame of at least 23 bytes.
    void writeTo(QByteArray &frame) const;
    /// Reads the fields from bytes 6..22 of a frame; false when the frame is too short.
    static bool readFrom(const QByteArray &frame, PedalMessage *out);

    friend bool operator==(const PedalMessage &a, const PedalMessage &b)
    {
        return a.toFields() == b.toFields();
    }
    friend bool operator!=(const PedalMessage &a, const PedalMessage &b) { return !(a == b); }
};
