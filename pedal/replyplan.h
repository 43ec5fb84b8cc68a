#pragma once

#include "pedal/pedalmessage.h"

#include <QByteArray>
#include <QList>
#include <QString>

/// How a configuration reply from the controller is written back into the
/// editor, without touching a widget: which selector gets which value, in
/// which order. The window runs the writes through the selectors' ordinary
/// setters, so every reaction of the editor runs as for a user's choice.
namespace ReplyPlan {

/// One editor control a reply writes; fieldName() gives its object name in the form.
enum class Field {
    PedalNumber,
    MessageNumber,
    PedalPicture, ///< not a control: the value is the pedal type whose picture to show
    PedalType,    ///< pedal-type selector index (code - 1)

    // Event selections: the value is an event code, selected by its item text.
    ExpressionEvent,
    SwitchEvent,
    HatEvent,

    ExpressionCcChannel,
    ExpressionCcController,
    ExpressionCcMin,
    ExpressionCcMax,
    ExpressionCcGain,
    ExpressionCcCurve,
    ExpressionNoteChannel,
    ExpressionNoteNumber,
    ExpressionNoteMin,
    ExpressionNoteMax,
    ExpressionNoteGain,
    ExpressionNoteCurve,
    ExpressionPitchChannel,
    ExpressionPitchMin,
    ExpressionPitchMax,
    ExpressionPitchGain,
    ExpressionPitchCurve,
    ExpressionPressureChannel,
    ExpressionPressureMin, ///< _val1
    ExpressionPressureMax, ///< _val2
    ExpressionPressureGain,
    ExpressionPressureCurve,
    ExpressionInverted, ///< check box; value 0 or 1
    ExpressionTriggerLevel,
    ExpressionPressNote,
    ExpressionReleaseNote,

    SwitchCcMode,
    SwitchCcChannel,
    SwitchCcController,
    SwitchCcMin,
    SwitchCcMax,
    SwitchNoteMode,
    SwitchNoteChannel,
    SwitchNoteNumber,
    SwitchNoteMin,
    SwitchNoteMax,
    SwitchPcMode,
    SwitchPcChannel,
    SwitchPcMin,
    SwitchPcMax,
    SwitchStopMode,
    SwitchContinueMode,
    SwitchStartMode,
    SwitchInverted, ///< check box; value 0 or 1

    HatCcChannel,
    HatCcController,
    HatCcMin,
    HatCcMax,
    HatCcGain,
    HatCcCurve,
    HatNoteChannel,
    HatNoteNumber,
    HatNoteMin,
    HatNoteMax,
    HatNoteGain,
    HatNoteCurve,
    HatInverted, ///< check box; value 0 or 1
    HatTriggerLevel,
    HatPressNote,
    HatReleaseNote,
};
constexpr int FieldCount = int(Field::HatReleaseNote) + 1;

/// Object name of the form's control for a field; "picture" for PedalPicture.
const char *fieldName(Field field);
bool isCheckBox(Field field);
bool isEventSelection(Field field);

struct Write {
    Field field;
    int value;
    friend bool operator==(const Write &a, const Write &b)
    {
        return a.field == b.field && a.value == b.value;
    }
};

/// "name=value" of each write, blank-separated, for logs and test diagnostics.
QString describe(const QList<Write> &writes);

/// The definition carried by a configuration reply frame. A 24-byte (or
/// longer) frame carries bytes 6..22; a 23-byte frame lacks the trigger
/// level's high byte (its byte 22 is the closing F7), which is taken as 0.
/// Shorter frames carry no definition: false, *out untouched.
bool decodeReply(const QByteArray &frame, PedalMessage *out);

/// The writes before the event's fields: pedal, message slot, the pedal
/// picture (pedal types 1..3 only), the pedal type, and the event selection
/// on the type's first event selector. The event is selected only for pedal
/// types 1..3 and event codes 0..8; a code above 8 has no name, and a reply
/// with one writes nothing after the pedal type.
QList<Write> headWrites(const PedalMessage &m);

/// Whether the fields of the event follow the head writes (pedal type 1..3,
/// event code 0..8).
bool writesEventFields(const PedalMessage &m);

/// The writes of the event page that is selected once the head writes ran:
/// page is the EventCode shown on the reply's pedal type (which is not the
/// reply's event when the list offers no such item). Nothing for a page the
/// pedal type does not have.
QList<Write> pageWrites(const PedalMessage &m, int page);

/// Text of the box for a set reply's status; empty for a status without one,
/// which is answered with the latest-release notice.
QString setStatusText(int status);

} // namespace ReplyPlan
