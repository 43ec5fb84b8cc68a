#include "sim/controllerbehaviour.h"

namespace {

constexpr int maxPendingFrame = 512;

const QByteArray sysexHeader = QByteArray::fromHex("F000215E");

quint8 at(const QByteArray &bytes, int i)
{
    return quint8(bytes.at(i));
}

ControllerCommand classify(const QByteArray &frame)
{
    using C = ControllerCommand;
    if (at(frame, 0) == 0xF0) {
        if (frame.size() >= 7 && frame.startsWith(sysexHeader)) {
            const quint8 command = at(frame, 4);
            const quint8 sub = at(frame, 5);
            if (frame.size() == 7 && command == 0x01 && sub == 0x01)
                return {C::Handshake, frame};
            if ((frame.size() == 9 || frame.size() == 10) && command == 0x04 && sub == 0x04)
                return {C::Ask, frame};
            if (frame.size() == 24 && command == 0x10 && sub == 0x03)
                return {C::Set, frame};
            if (frame.size() == 8 && command == 0x03 && sub == 0x05)
                return {at(frame, 6) == ControllerBehaviour::factoryResetPedal ? C::FactoryReset
                                                                                : C::Delete,
                        frame};
        }
        return {C::Unknown, frame};
    }
    if (frame == QByteArray::fromHex("AACC0200010D0A"))
        return {C::Identity, frame};
    if (frame == QByteArray::fromHex("AACC0200030D0A"))
        return {C::Version, frame};
    if (frame == QByteArray::fromHex("AACC0200090D0A"))
        return {C::EnterUpgrade, frame};
    if (frame == QByteArray::fromHex("AACC0200020D0A"))
        return {C::Erase, frame};
    return {C::Unknown, frame};
}

QByteArray sysex(std::initializer_list<quint8> body)
{
    QByteArray frame = sysexHeader;
    for (quint8 b : body)
        frame.append(char(b));
    frame.append(char(0xF7));
    return frame;
}

} // namespace

ControllerBehaviour::ControllerBehaviour(const SimulatedModel &model)
    : m_model(model), m_pedalCount(model.pedalCount), m_firmwareVersion(model.firmwareVersion)
{
}

QList<ControllerCommand> ControllerBehaviour::feed(const QByteArray &bytes)
{
    m_input.append(bytes);
    QList<ControllerCommand> commands;
    QByteArray garbage;
    const auto take = [&](ControllerCommand command) {
        if (!garbage.isEmpty())
            commands.append({ControllerCommand::Garbage, garbage});
        garbage.clear();
        commands.append(command);
    };

    int pos = 0;
    while (pos < m_input.size()) {
        const quint8 b = at(m_input, pos);
        int end = -1; // one past the frame starting at pos
        bool wait = false;
        if (b == 0xF0) {
            const int f7 = m_input.indexOf(char(0xF7), pos + 1);
            const int nextF0 = m_input.indexOf(char(0xF0), pos + 1);
            if (nextF0 >= 0 && (f7 < 0 || nextF0 < f7)) {
                garbage += m_input.mid(pos, nextF0 - pos); // cut short by a new frame
                pos = nextF0;
                continue;
            }
            if (f7 >= 0)
                end = f7 + 1;
            else
                wait = true;
        } else if (b == 0xAA) {
            if (pos + 1 >= m_input.size()) {
                wait = true;
            } else if (at(m_input, pos + 1) == 0xCC) {
                const int crlf = m_input.indexOf("\r\n", pos + 2);
                if (crlf >= 0)
                    end = crlf + 2;
                else
                    wait = true;
            }
        }
        if (wait && m_input.size() - pos <= maxPendingFrame)
            break;
        if (end < 0) {
            garbage += char(b);
            ++pos;
            continue;
        }
        take(classify(m_input.mid(pos, end - pos)));
        pos = end;
    }
    if (!garbage.isEmpty())
        commands.append({ControllerCommand::Garbage, garbage});
    m_input.remove(0, pos);
    return commands;
}

QList<QByteArray> ControllerBehaviour::respond(const ControllerCommand &command)
{
    const QByteArray &f = command.bytes;
    switch (command.kind) {
    case ControllerCommand::Handshake: {
        QList<QByteArray> replies{handshakeReply(m_pedalCount)};
        if (m_statusAfterHandshake >= 0)
            replies.append(statusReply(quint8(m_statusAfterHandshake)));
        return replies;
    }
    case ControllerCommand::Ask: {
        const int pedal = at(f, 6);
        const int slot = at(f, 7);
        if (pedal >= m_pedalCount || slot >= slotCount)
            return {};
        if (f.size() == 10) {
            const int typeIndex = at(f, 8);
            if (typeIndex > 2)
                return {};
            return {configurationReply(definition(pedal, slot, typeIndex + 1))};
        }
        return {configurationReply(definition(pedal, slot))};
    }
    case ControllerCommand::Set: {
        PedalMessage def;
        PedalMessage::readFrom(f, &def);
        const quint8 status = m_forcedSetStatus >= 0 ? quint8(m_forcedSetStatus) : judgeSet(def);
        if (status == 0)
            storeMessage(def);
        return {setReply(def.pedal, status)};
    }
    case ControllerCommand::Delete: {
        const int pedal = at(f, 6);
        for (auto it = m_definitions.begin(); it != m_definitions.end();)
            it = it.key().first.first == pedal ? m_definitions.erase(it) : std::next(it);
        for (auto it = m_lastType.begin(); it != m_lastType.end();)
            it = it.key().first == pedal ? m_lastType.erase(it) : std::next(it);
        return {deleteReply(quint8(pedal))};
    }
    case ControllerCommand::FactoryReset:
        clearDefinitions();
        return {deleteReply(factoryResetPedal)};
    case ControllerCommand::Identity:
        return {identityReply(m_model.name)};
    case ControllerCommand::Version:
        return {versionReply(m_firmwareVersion)};
    case ControllerCommand::EnterUpgrade:
    case ControllerCommand::Erase:
    case ControllerCommand::Unknown:
    case ControllerCommand::Garbage:
        break;
    }
    return {};
}

/// Set statuses: 0 stored, 1 no such pedal or slot, 2 no such pedal type,
/// 3 a pedal in Tempo mode takes one message configuration only.
quint8 ControllerBehaviour::judgeSet(const PedalMessage &def) const
{
    const int pedal = def.pedal;
    const int slot = def.message;
    const int type = def.pedalType;
    if (pedal >= m_pedalCount || slot >= slotCount)
        return 1;
    if (type < 1 || type > 3)
        return 2;
    if (type == PedalTypeSwitch) {
        const bool newIsTempo = def.event == EventTempo;
        for (auto it = m_definitions.cbegin(); it != m_definitions.cend(); ++it) {
            const Key &k = it.key();
            if (k.first.first != pedal || k.first.second == slot || k.second != PedalTypeSwitch)
                continue;
            if (newIsTempo || it.value().event == EventTempo)
                return 3;
        }
    }
    return 0;
}

PedalMessage ControllerBehaviour::stored(int pedal, int slot, int pedalType) const
{
    return m_definitions.value(Key({pedal, slot}, pedalType), unset(pedal, slot, pedalType));
}

PedalMessage ControllerBehaviour::unset(int pedal, int slot, int pedalType) const
{
    if (!m_unsetSlotsEmpty)
        return defaultMessage(pedal, slot, pedalType);
    PedalMessage m;
    m.pedal = quint8(pedal);
    m.message = quint8(slot);
    return m;
}

QByteArray ControllerBehaviour::definition(int pedal, int slot, int pedalType) const
{
    return stored(pedal, slot, pedalType).toFields();
}

QByteArray ControllerBehaviour::definition(int pedal, int slot) const
{
    return definition(pedal, slot, m_lastType.value({pedal, slot}, defaultPedalType(pedal)));
}

bool ControllerBehaviour::isStored(int pedal, int slot, int pedalType) const
{
    return m_definitions.contains(Key({pedal, slot}, pedalType));
}

void ControllerBehaviour::storeMessage(const PedalMessage &def)
{
    const QPair<int, int> place(def.pedal, def.message);
    m_definitions.insert(Key(place, def.pedalType), def);
    m_lastType.insert(place, def.pedalType);
}

void ControllerBehaviour::store(const QByteArray &definition)
{
    PedalMessage def;
    if (PedalMessage::fromFields(definition, &def))
        storeMessage(def);
}

void ControllerBehaviour::clearDefinitions()
{
    m_definitions.clear();
    m_lastType.clear();
}

int ControllerBehaviour::defaultPedalType(int pedal)
{
    switch (pedal) {
    case 0:
        return 1; // expression
    case 2:
        return 3; // hi-hat
    default:
        return 2; // switch
    }
}

/// Factory settings: expression on CC 7, switch on CC 64 + pedal toggling
/// 0..127, hi-hat on CC 4; full range, gain and curvature at their middle (50).
PedalMessage ControllerBehaviour::defaultMessage(int pedal, int slot, int pedalType)
{
    PedalMessage m;
    m.pedal = quint8(pedal);
    m.message = quint8(slot);
    m.pedalType = quint8(pedalType);
    m.dataA = quint8(pedalType == PedalTypeSwitch ? 64 + pedal
                     : pedalType == PedalTypeHiHat ? 4 : 7);
    m.valueB = 127;
    m.triggerMode = pedalType == PedalTypeSwitch ? TriggerToggle : TriggerSingle;
    m.gain = 50;
    m.curve = 50;
    return m;
}

QByteArray ControllerBehaviour::defaultDefinition(int pedal, int slot, int pedalType)
{
    return defaultMessage(pedal, slot, pedalType).toFields();
}

QByteArray ControllerBehaviour::handshakeReply(int pedalCount)
{
    return sysex({0x01, quint8(pedalCount)});
}

QByteArray ControllerBehaviour::statusReply(quint8 value)
{
    return sysex({value});
}

QByteArray ControllerBehaviour::setReply(quint8 pedal, quint8 status)
{
    return sysex({0x10, 0x03, pedal, status});
}

QByteArray ControllerBehaviour::configurationReply(const QByteArray &definition)
{
    QByteArray frame = sysexHeader + QByteArray::fromHex("1004");
    frame.append(QByteArray(PedalMessage::FrameSize - frame.size() - 1, '\0'));
    frame.append(char(0xF7));
    PedalMessage message;
    if (PedalMessage::fromFields(definition, &message))
        message.writeTo(frame);
    return frame;
}

QByteArray ControllerBehaviour::deleteReply(quint8 pedal)
{
    return sysex({0x03, 0x05, pedal});
}

QByteArray ControllerBehaviour::identityReply(const QString &model)
{
    return model.toUtf8() + "\r\n";
}

QByteArray ControllerBehaviour::versionReply(const QString &version)
{
    return QByteArray::fromHex("AACC06") + 'V' + version.toUtf8() + "\r\n";
}

QByteArray ControllerBehaviour::eraseConfirmation()
{
    return QByteArrayLiteral("ERASE END");
}

QByteArray ControllerBehaviour::usbMidiEvent(quint8 status, quint8 data1, quint8 data2, int cable)
{
    // Code index: the status nibble for channel messages, 0xF for single bytes.
    const quint8 codeIndex = status < 0xF0 ? status >> 4 : 0x0F;
    QByteArray packet(4, '\0');
    packet[0] = char(((cable & 0x0F) << 4) | codeIndex);
    packet[1] = char(status);
    packet[2] = char(data1);
    packet[3] = char(data2);
    return packet;
}

QByteArray ControllerBehaviour::demoEvent(int step)
{
    const int s = step % 16;
    if (s < 10)
        return usbMidiEvent(0xB0, 7, quint8(s * 14));
    switch (s) {
    case 10:
        return usbMidiEvent(0x90, 44, 100);
    case 11:
        return usbMidiEvent(0x80, 44, 0);
    case 12:
        return usbMidiEvent(0xB0, 64, 127);
    case 13:
        return usbMidiEvent(0xB0, 64, 0);
    case 14:
        return usbMidiEvent(0xC0, 5, 0);
    default:
        return usbMidiEvent(0xE0, 0, 64);
    }
}
