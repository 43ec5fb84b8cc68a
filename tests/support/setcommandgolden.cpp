#include "support/setcommandgolden.h"

#include "pedal/pedalmessage.h"

namespace SetCommandGolden {

EditorSnapshot distinctEditor()
{
    EditorSnapshot e;
    e.pedalIndex = 2;
    e.pedalText = QStringLiteral("3");
    e.messageIndex = 5;
    e.curveCode = 77;
    e.expressionCc = {1, 11, 21, 101, 31, 41};
    e.expressionNote = {2, 12, 22, 102, 32, 42};
    e.expressionPitch = {3, 0, 300, 9000, 33, 43};
    e.expressionPressure = {4, 0, 24, 104, 34, 44};
    e.expressionTriggerLevel = 100;
    e.expressionPressNote = 60;
    e.expressionReleaseNote = 61;
    e.switchCc = {0, 5, 15, 25, 105};
    e.switchNote = {0, 6, 16, 26, 106};
    e.switchPc = {0, 7, 0, 27, 107};
    e.hatCc = {8, 18, 28, 108, 38, 48};
    e.hatNote = {9, 19, 29, 109, 39, 49};
    e.hatTriggerLevel = 9;
    e.hatPressNote = 70;
    e.hatReleaseNote = 71;
    return e;
}

EditorSnapshot editorFor(const Row &row)
{
    EditorSnapshot e = distinctEditor();
    e.pedalType = row.pedalType;
    e.expressionEvent = row.pedalType == PedalTypeExpression ? row.event : EventNote;
    e.switchEvent = row.pedalType == PedalTypeSwitch ? row.event : EventProgramChange;
    e.hatEvent = row.pedalType == PedalTypeHiHat ? row.event : EventNote;
    e.expressionInverted = row.pedalType == PedalTypeExpression ? row.inverted : !row.inverted;
    e.switchInverted = row.pedalType == PedalTypeSwitch ? row.inverted : !row.inverted;
    e.hatInverted = row.pedalType == PedalTypeHiHat ? row.inverted : !row.inverted;
    e.switchCc.mode = e.switchNote.mode = e.switchPc.mode = row.mode;
    e.switchShownMode = row.mode;
    return e;
}

QList<Row> rows()
{
    // Fields: pedal message type chan event A B vA vB mode gain trig press rel curve code high.
    return {
        {"expression CC", 1, EventCc, false, 1,              "02 05 01 01 00 0B 00 15 65 01 1F 64 3C 3D 29 4D 00"},
        {"expression CC evert", 1, EventCc, true, 1,         "02 05 01 01 00 0B 00 65 15 01 1F 64 3C 3D 29 4D 00"},
        {"expression NOTE", 1, EventNote, false, 0,          "02 05 01 02 02 0C 00 16 66 00 20 64 3C 3D 2A 4D 00"},
        {"expression NOTE evert", 1, EventNote, true, 4,     "02 05 01 02 02 0C 00 66 16 04 20 64 3C 3D 2A 4D 00"},
        {"expression PB", 1, EventPitchBend, false, 1,       "02 05 01 03 03 02 46 2C 28 01 21 64 3C 3D 2B 4D 00"},
        {"expression PB evert", 1, EventPitchBend, true, 1,  "02 05 01 03 03 46 02 28 2C 01 21 64 3C 3D 2B 4D 00"},
        {"expression ChP", 1, EventChannelPressure, false, 1, "02 05 01 04 04 18 68 00 00 01 22 64 3C 3D 2C 4D 00"},
        {"expression ChP evert", 1, EventChannelPressure, true, 1, "02 05 01 04 04 68 18 00 00 01 22 64 3C 3D 2C 4D 00"},

        {"switch CC single", 2, EventCc, false, 0,           "02 05 02 05 00 0F 00 19 00 00 00 00 00 00 00 4D 00"},
        {"switch CC single evert", 2, EventCc, true, 0,      "02 05 02 05 00 0F 00 19 00 00 00 00 00 00 00 4D 00"},
        {"switch CC toggle", 2, EventCc, false, 1,           "02 05 02 05 00 0F 00 19 69 01 00 00 00 00 00 4D 00"},
        {"switch CC decrease evert", 2, EventCc, true, 4,    "02 05 02 05 00 0F 00 69 19 04 00 00 00 00 00 4D 00"},
        {"switch NOTE single", 2, EventNote, false, 0,       "02 05 02 06 02 10 00 1A 00 00 00 00 00 00 00 4D 00"},
        {"switch NOTE reset", 2, EventNote, false, 2,        "02 05 02 06 02 10 00 1A 6A 02 00 00 00 00 00 4D 00"},
        {"switch NOTE reset evert", 2, EventNote, true, 2,   "02 05 02 06 02 10 00 6A 1A 02 00 00 00 00 00 4D 00"},
        {"switch PC single", 2, EventProgramChange, false, 0, "02 05 02 07 01 1B 00 00 00 00 00 00 00 00 00 4D 00"},
        {"switch PC single evert", 2, EventProgramChange, true, 0, "02 05 02 07 01 1B 00 00 00 00 00 00 00 00 00 4D 00"},
        {"switch PC increase", 2, EventProgramChange, false, 3, "02 05 02 07 01 1B 6B 00 00 03 00 00 00 00 00 4D 00"},
        {"switch PC increase evert", 2, EventProgramChange, true, 3, "02 05 02 07 01 6B 1B 00 00 03 00 00 00 00 00 4D 00"},
        {"switch Stop", 2, EventStop, true, 0,               "02 05 02 00 07 00 00 00 00 00 00 00 00 00 00 4D 00"},
        {"switch Continue", 2, EventContinue, false, 0,      "02 05 02 00 06 00 00 00 00 00 00 00 00 00 00 4D 00"},
        {"switch Start", 2, EventStart, false, 0,            "02 05 02 00 05 00 00 00 00 00 00 00 00 00 00 4D 00"},
        {"switch Tempo", 2, EventTempo, true, 0,             "02 05 02 00 08 00 00 01 F4 00 00 00 00 00 00 4D 00"},

        {"hi-hat CC", 3, EventCc, false, 1,                  "02 05 03 08 00 12 00 1C 6C 01 26 09 46 47 30 4D 00"},
        {"hi-hat CC evert", 3, EventCc, true, 0,             "02 05 03 08 00 12 00 6C 1C 00 26 09 46 47 30 4D 00"},
        {"hi-hat NOTE", 3, EventNote, false, 1,              "02 05 03 09 02 13 00 1D 6D 01 27 09 46 47 31 4D 00"},
        {"hi-hat NOTE evert", 3, EventNote, true, 1,         "02 05 03 09 02 13 00 6D 1D 01 27 09 46 47 31 4D 00"},
    };
}

QString spaced(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace SetCommandGolden
