#include "pedal/replyplan.h"

#include <QStringList>

namespace ReplyPlan {

namespace {

constexpr const char *names[FieldCount] = {
    "Pedal_Number",
    "Message_Number",
    "picture",
    "pendal_type_comboBox0",
    "expression_comboBox0",
    "switch_comboBox0",
    "hat_comboBox0",
    "expression_cc_comboBox_chl",
    "expression_cc_comboBox_ctl",
    "expression_cc_comboBox_valmin",
    "expression_cc_comboBox_valmax",
    "expression_cc_comboBox_gain",
    "expression_cc_comboBox_ql",
    "expression_note_comboBox_chl",
    "expression_note_comboBox_ctl",
    "expression_note_comboBox_valmin",
    "expression_note_comboBox_valmax",
    "expression_note_comboBox_gain",
    "expression_note_comboBox_ql",
    "expression_pitch_comboBox_chl",
    "expression_pitch_comboBox_valmin",
    "expression_pitch_comboBox_valmax",
    "expression_pitch_comboBox_gain",
    "expression_pitch_comboBox_ql",
    "expression_ch_comboBox_chl",
    "expression_ch_comboBox_val1",
    "expression_ch_comboBox_val2",
    "expression_ch_comboBox_gain",
    "expression_ch_comboBox_ql",
    "ex_Evert_checkBox",
    "expression_trigger_level",
    "expression_press_note",
    "expression_release_note",
    "switch_cc_comboBox_mode",
    "switch_cc_comboBox_chl",
    "switch_cc_comboBox_ctl",
    "switch_cc_comboBox_valmin",
    "switch_cc_comboBox_valmax",
    "switch_note_comboBox_mode",
    "switch_note_comboBox_chl",
    "switch_note_comboBox_nno",
    "switch_note_comboBox_valmin",
    "switch_note_comboBox_valmax",
    "switch_pc_comboBox_mode",
    "switch_pc_comboBox_chl",
    "switch_pc_comboBox_valmin",
    "switch_pc_comboBox_valmax",
    "switch_stop_comboBox_mode",
    "switch_ctu_comboBox_mode",
    "switch_start_comboBox_mode",
    "sw_Evert_checkBox",
    "hat_cc_comboBox_chl",
    "hat_cc_comboBox_ctl",
    "hat_cc_comboBox_valmin",
    "hat_cc_comboBox_valmax",
    "hat_cc_comboBox_gain",
    "hat_cc_comboBox_ql",
    "hat_note_comboBox_chl",
    "hat_note_comboBox_ctl",
    "hat_note_comboBox_valmin",
    "hat_note_comboBox_valmax",
    "hat_note_comboBox_gain",
    "hat_note_comboBox_ql",
    "ht_Evert_checkBox",
    "hat_trigger_level",
    "hat_press_note",
    "hat_release_note",
};

/// The selectors of one expression or hi-hat page with a range.
struct RangeFields {
    Field channel, data, min, max, gain, curve;
};

constexpr RangeFields expressionCc{Field::ExpressionCcChannel, Field::ExpressionCcController,
                                   Field::ExpressionCcMin,     Field::ExpressionCcMax,
                                   Field::ExpressionCcGain,    Field::ExpressionCcCurve};
constexpr RangeFields expressionNote{Field::ExpressionNoteChannel, Field::ExpressionNoteNumber,
                                     Field::ExpressionNoteMin,     Field::ExpressionNoteMax,
                                     Field::ExpressionNoteGain,    Field::ExpressionNoteCurve};
constexpr RangeFields hatCc{Field::HatCcChannel, Field::HatCcController, Field::HatCcMin,
                            Field::HatCcMax,     Field::HatCcGain,       Field::HatCcCurve};
constexpr RangeFields hatNote{Field::HatNoteChannel, Field::HatNoteNumber, Field::HatNoteMin,
                              Field::HatNoteMax,     Field::HatNoteGain,   Field::HatNoteCurve};

void expressionPage(const PedalMessage &m, int page, QList<Write> &w)
{
    const int r11 = m.dataA, r12 = m.dataB, r13 = m.valueA, r14 = m.valueB;
    switch (page) {
    case EventCc:
    case EventNote: {
        const RangeFields &f = page == EventCc ? expressionCc : expressionNote;
        w << Write{f.gain, m.gain} << Write{f.curve, m.curve} << Write{f.channel, m.channel}
          << Write{f.data, r11};
        if (r13 > r14) {
            w << Write{f.min, r14} << Write{f.max, r13} << Write{Field::ExpressionInverted, 1};
        } else {
            if (r13 == 0)
                w << Write{f.min, 0} << Write{f.max, r14};
            else
                w << Write{f.max, r14} << Write{f.min, r13};
            w << Write{Field::ExpressionInverted, 0};
        }
        break;
    }
    case EventPitchBend: {
        w << Write{Field::ExpressionPitchGain, m.gain} << Write{Field::ExpressionPitchCurve, m.curve}
          << Write{Field::ExpressionPitchChannel, m.channel};
        // Two 14-bit ends: bits 7..13 in bytes 11 and 12, bits 0..6 in 13 and 14.
        const int a = r11 * 128 + r13;
        const int b = r12 * 128 + r14;
        w << Write{Field::ExpressionPitchMax, qMax(a, b)} << Write{Field::ExpressionPitchMin, qMin(a, b)}
          << Write{Field::ExpressionInverted, a > b ? 1 : 0};
        break;
    }
    case EventChannelPressure:
        w << Write{Field::ExpressionPressureGain, m.gain}
          << Write{Field::ExpressionPressureCurve, m.curve}
          << Write{Field::ExpressionPressureChannel, m.channel}
          << Write{Field::ExpressionPressureMin, r11};
        if (r11 > r12)
            w << Write{Field::ExpressionPressureMin, r12} << Write{Field::ExpressionPressureMax, r11}
              << Write{Field::ExpressionInverted, 1};
        else
            w << Write{Field::ExpressionPressureMin, r11} << Write{Field::ExpressionPressureMax, r12}
              << Write{Field::ExpressionInverted, 0};
        break;
    default:
        return;
    }
    const int level = page == EventPitchBend ? m.triggerLevel + 256 * m.triggerLevelHigh
                                             : m.triggerLevel;
    w << Write{Field::ExpressionTriggerLevel, level} << Write{Field::ExpressionPressNote, m.pressNote}
      << Write{Field::ExpressionReleaseNote, m.releaseNote};
}

void switchPage(const PedalMessage &m, int page, QList<Write> &w)
{
    const int r11 = m.dataA, r12 = m.dataB, r13 = m.valueA, r14 = m.valueB;
    const int mode = m.triggerMode;
    switch (page) {
    case EventCc:
        w << Write{Field::SwitchCcMode, mode} << Write{Field::SwitchCcChannel, m.channel}
          << Write{Field::SwitchCcController, r11};
        if (mode == TriggerSingle)
            w << Write{Field::SwitchCcMin, r13};
        else if (r13 < r14)
            w << Write{Field::SwitchCcMax, r14} << Write{Field::SwitchCcMin, r13}
              << Write{Field::SwitchInverted, 0};
        else
            w << Write{Field::SwitchCcMin, r14} << Write{Field::SwitchCcMax, r13}
              << Write{Field::SwitchInverted, 1};
        break;
    case EventNote:
        w << Write{Field::SwitchNoteMode, mode} << Write{Field::SwitchNoteChannel, m.channel}
          << Write{Field::SwitchNoteNumber, r11};
        if (mode == TriggerSingle)
            w << Write{Field::SwitchNoteMin, r13};
        else if (r13 < r14)
            w << Write{Field::SwitchNoteMin, r13} << Write{Field::SwitchNoteMax, r14}
              << Write{Field::SwitchInverted, 0};
        else
            w << Write{Field::SwitchNoteMin, r14} << Write{Field::SwitchNoteMax, r13}
              << Write{Field::SwitchInverted, 1};
        break;
    case EventProgramChange:
        w << Write{Field::SwitchPcMode, mode} << Write{Field::SwitchPcChannel, m.channel};
        if (mode == TriggerSingle)
            w << Write{Field::SwitchPcMin, r11};
        else if (r11 < r12)
            w << Write{Field::SwitchPcMin, r11} << Write{Field::SwitchPcMax, r12}
              << Write{Field::SwitchInverted, 0};
        else
            w << Write{Field::SwitchPcMin, r12} << Write{Field::SwitchPcMax, r11}
              << Write{Field::SwitchInverted, 1};
        break;
    case EventStop:
        w << Write{Field::SwitchStopMode, mode};
        break;
    case EventContinue:
        w << Write{Field::SwitchContinueMode, mode};
        break;
    case EventStart:
        w << Write{Field::SwitchStartMode, mode};
        break;
    default: // Tempo keeps its only mode; no other page exists
        break;
    }
}

void hatPage(const PedalMessage &m, int page, QList<Write> &w)
{
    if (page != EventCc && page != EventNote)
        return;
    const RangeFields &f = page == EventCc ? hatCc : hatNote;
    w << Write{f.gain, m.gain} << Write{f.channel, m.channel} << Write{f.data, m.dataA};
    if (m.valueA > m.valueB)
        w << Write{Field::HatInverted, 1} << Write{f.max, m.valueA} << Write{f.min, m.valueB};
    else
        w << Write{Field::HatInverted, 0} << Write{f.min, m.valueA} << Write{f.max, m.valueB};
    w << Write{f.curve, m.curve} << Write{Field::HatTriggerLevel, m.triggerLevel}
      << Write{Field::HatPressNote, m.pressNote} << Write{Field::HatReleaseNote, m.releaseNote};
}

bool knownPedalType(int type)
{
    return type >= PedalTypeExpression && type <= PedalTypeHiHat;
}

} // namespace

const char *fieldName(Field field)
{
    const int i = int(field);
    return i >= 0 && i < FieldCount ? names[i] : "";
}

bool isCheckBox(Field field)
{
    return field == Field::ExpressionInverted || field == Field::SwitchInverted
           || field == Field::HatInverted;
}

bool isEventSelection(Field field)
{
    return field == Field::ExpressionEvent || field == Field::SwitchEvent
           || field == Field::HatEvent;
}

QString describe(const QList<Write> &writes)
{
    QStringList parts;
    for (const Write &w : writes)
        parts << QStringLiteral("%1=%2").arg(QLatin1String(fieldName(w.field))).arg(w.value);
    return parts.join(QLatin1Char(' '));
}

bool decodeReply(const QByteArray &frame, PedalMessage *out)
{
    const int full = PedalMessage::FrameOffset + PedalMessage::FieldCount + 1;
    if (frame.size() < full - 1)
        return false;
    PedalMessage m;
    if (frame.size() >= full) {
        PedalMessage::readFrom(frame, &m);
    } else {
        QByteArray padded = frame.left(full - 2);
        padded.append(char(0));
        PedalMessage::readFrom(padded, &m);
    }
    *out = m;
    return true;
}

bool writesEventFields(const PedalMessage &m)
{
    return knownPedalType(m.pedalType) && m.event <= EventTempo;
}

QList<Write> headWrites(const PedalMessage &m)
{
    QList<Write> w{{Field::PedalNumber, m.pedal}, {Field::MessageNumber, m.message}};
    if (knownPedalType(m.pedalType))
        w << Write{Field::PedalPicture, m.pedalType};
    w << Write{Field::PedalType, m.pedalType - 1};
    if (writesEventFields(m)) {
        const Field event = m.pedalType == PedalTypeExpression ? Field::ExpressionEvent
                            : m.pedalType == PedalTypeSwitch   ? Field::SwitchEvent
                                                               : Field::HatEvent;
        w << Write{event, m.event};
    }
    return w;
}

QList<Write> pageWrites(const PedalMessage &m, int page)
{
    QList<Write> w;
    if (!writesEventFields(m))
        return w;
    switch (m.pedalType) {
    case PedalTypeExpression: expressionPage(m, page, w); break;
    case PedalTypeSwitch: switchPage(m, page, w); break;
    case PedalTypeHiHat: hatPage(m, page, w); break;
    default: break;
    }
    return w;
}

QString setStatusText(int status)
{
    switch (status) {
    case 0: return QStringLiteral("Set pedal success!");
    case 1: return QStringLiteral("The pedal number is wrong!");
    case 2: return QStringLiteral("Wrong pedal type!");
    case 3: return QStringLiteral("Only one message configuration can be set in Tempo mode. ");
    default: return QString();
    }
}

} // namespace ReplyPlan
