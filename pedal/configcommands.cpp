#include "pedal/configcommands.h"

namespace ConfigCommands {

namespace {

QByteArray frame(std::initializer_list<quint8> bytes)
{
    QByteArray out;
    out.reserve(static_cast<int>(bytes.size()) + 5);
    out.append(char(0xF0)).append(char(0x00)).append(char(0x21)).append(char(0x5E));
    for (quint8 b : bytes)
        out.append(static_cast<char>(b));
    out.append(char(0xF7));
    return out;
}

/// The two range ends in sending order.
struct Ends {
    int first;
    int second;
};

Ends ends(int min, int max, bool inverted)
{
    return inverted ? Ends{max, min} : Ends{min, max};
}

const EditorSnapshot::RangePage *expressionPage(const EditorSnapshot &e)
{
    switch (e.expressionEvent) {
    case EventCc: return &e.expressionCc;
    case EventNote: return &e.expressionNote;
    case EventPitchBend: return &e.expressionPitch;
    case EventChannelPressure: return &e.expressionPressure;
    default: return nullptr;
    }
}

const EditorSnapshot::SwitchPage *switchPage(const EditorSnapshot &e)
{
    switch (e.switchEvent) {
    case EventCc: return &e.switchCc;
    case EventNote: return &e.switchNote;
    case EventProgramChange: return &e.switchPc;
    default: return nullptr;
    }
}

const EditorSnapshot::RangePage *hatPage(const EditorSnapshot &e)
{
    switch (e.hatEvent) {
    case EventCc: return &e.hatCc;
    case EventNote: return &e.hatNote;
    default: return nullptr;
    }
}

quint8 eventByte(int code)
{
    // An event text without a code reads as code 0, as a map lookup gives it.
    return code < 0 ? 0 : indexByte(code);
}

void fillExpressionEvent(const EditorSnapshot &e, PedalMessage &m)
{
    m.event = eventByte(e.expressionEvent);
    const EditorSnapshot::RangePage *page = expressionPage(e);
    if (!page)
        return;
    m.gain = indexByte(page->gain);
    m.curve = indexByte(page->curve);
    const Ends range = ends(page->min, page->max, e.expressionInverted);
    switch (e.expressionEvent) {
    case EventCc:
    case EventNote:
        m.dataA = indexByte(page->data);
        m.dataB = 0;
        m.valueA = indexByte(range.first);
        m.valueB = indexByte(range.second);
        break;
    case EventPitchBend:
        // 14-bit ends: high seven bits in the data bytes, low seven in the values.
        m.dataA = static_cast<quint8>((range.first >> 7) & 0x7F);
        m.dataB = static_cast<quint8>((range.second >> 7) & 0x7F);
        m.valueA = static_cast<quint8>(range.first & 0x7F);
        m.valueB = static_cast<quint8>(range.second & 0x7F);
        break;
    case EventChannelPressure:
        m.dataA = indexByte(range.first);
        m.dataB = indexByte(range.second);
        break;
    default:
        break;
    }
}

void fillSwitchEvent(const EditorSnapshot &e, PedalMessage &m)
{
    m.event = eventByte(e.switchEvent);
    const EditorSnapshot::SwitchPage *page = switchPage(e);
    if (!page)
        return;
    const bool single = page->mode == TriggerSingle;
    const Ends range = ends(page->min, page->max, e.switchInverted);
    if (e.switchEvent == EventProgramChange) {
        m.dataA = indexByte(single ? page->min : range.first);
        m.dataB = single ? 0 : indexByte(range.second);
    } else {
        m.dataA = indexByte(page->data);
        m.dataB = 0;
        m.valueA = indexByte(single ? page->min : range.first);
        m.valueB = single ? 0 : indexByte(range.second);
    }
}

void fillHatEvent(const EditorSnapshot &e, PedalMessage &m)
{
    m.event = eventByte(e.hatEvent);
    const EditorSnapshot::RangePage *page = hatPage(e);
    if (!page)
        return;
    const Ends range = ends(page->min, page->max, e.hatInverted);
    m.dataA = indexByte(page->data);
    m.valueA = indexByte(range.first);
    m.valueB = indexByte(range.second);
    m.gain = indexByte(page->gain);
    m.curve = indexByte(page->curve);
}

} // namespace

QByteArray handshake()
{
    return frame({HandshakeCommand, 0x01});
}

QByteArray askShort(int pedal, int message)
{
    return frame({AskCommand, AskSubCode, indexByte(pedal), indexByte(message)});
}

QByteArray askLong(int pedal, int message, int pedalTypeIndex)
{
    return frame({AskCommand, AskSubCode, indexByte(pedal), indexByte(message),
                  indexByte(pedalTypeIndex)});
}

QByteArray set(const PedalMessage &message)
{
    QByteArray out = frame({SetCommand, SetSubCode});
    out.insert(PedalMessage::FrameOffset, message.toFields());
    return out;
}

QByteArray deletePedal(int pedal)
{
    return frame({DeleteCommand, DeleteSubCode, indexByte(pedal)});
}

QByteArray factoryReset()
{
    return deletePedal(FactoryResetPedal);
}

PedalMessage buildPedalMessage(const EditorSnapshot &e)
{
    PedalMessage m;
    m.message = indexByte(e.messageIndex);

    switch (e.pedalType) {
    case PedalTypeExpression:
        m.pedalType = PedalTypeExpression;
        if (const auto *page = expressionPage(e))
            m.channel = indexByte(page->channel);
        break;
    case PedalTypeSwitch:
        m.pedalType = PedalTypeSwitch;
        if (const auto *page = switchPage(e))
            m.channel = indexByte(page->channel);
        break;
    case PedalTypeHiHat:
        m.pedalType = PedalTypeHiHat;
        if (const auto *page = hatPage(e))
            m.channel = indexByte(page->channel);
        break;
    default:
        break;
    }

    // The switch page's mode travels with every pedal type.
    m.triggerMode = indexByte(e.switchShownMode);

    if (e.pedalType == PedalTypeExpression) {
        if (e.expressionEvent != EventPitchBend)
            m.triggerLevel = indexByte(e.expressionTriggerLevel);
        m.pressNote = indexByte(e.expressionPressNote);
        m.releaseNote = indexByte(e.expressionReleaseNote);
    } else if (e.pedalType == PedalTypeHiHat) {
        m.triggerLevel = indexByte(e.hatTriggerLevel);
        m.pressNote = indexByte(e.hatPressNote);
        m.releaseNote = indexByte(e.hatReleaseNote);
    }

    switch (e.pedalType) {
    case PedalTypeExpression: fillExpressionEvent(e, m); break;
    case PedalTypeSwitch: fillSwitchEvent(e, m); break;
    case PedalTypeHiHat: fillHatEvent(e, m); break;
    default: break;
    }

    m.pedal = indexByte(e.pedalIndex);
    m.curveCode = indexByte(e.curveCode);

    if (e.pedalType == PedalTypeExpression && e.expressionEvent == EventPitchBend) {
        // The Pitch Bend trigger level runs to 16383: low byte and high byte.
        m.triggerLevel = static_cast<quint8>(e.expressionTriggerLevel & 0xFF);
        m.triggerLevelHigh = static_cast<quint8>((e.expressionTriggerLevel >> 8) & 0xFF);
    }

    if (e.pedalType == PedalTypeSwitch && e.switchEvent == EventTempo
        && e.pedalText != QLatin1String("4")) {
        // 500 as a 16-bit number, high byte first.
        m.valueA = 0x01;
        m.valueB = 0xF4;
    }
    return m;
}

AskForm checkAskForm(const QString &deviceText, int extractedValue, int pedalIndex)
{
    const int e = extractedValue;
    const int p = pedalIndex;
    if (deviceText.contains(QLatin1String("10")))
        return (e == p + 1 || e == 0) ? AskForm::Long : AskForm::Short;
    if (deviceText.contains(QLatin1String("20"))) {
        const int bits = e & 0x0F;
        const bool allSet = bits == 0x0F;
        const bool present = !allSet && p >= 0 && p <= 3 && (bits & (1 << p)) != 0;
        return (!present && e != 0) ? AskForm::Short : AskForm::Long;
    }
    return AskForm::Short;
}

} // namespace ConfigCommands
