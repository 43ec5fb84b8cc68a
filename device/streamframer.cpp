#include "device/streamframer.h"

namespace {

constexpr char kSysExStart = char(0xF0);
constexpr char kSysExEnd = char(0xF7);

bool hasSysExForm(const QByteArray &p)
{
    return p.size() >= 5 && p.at(0) == kSysExStart && p.at(1) == 0x00 && p.at(2) == 0x21
           && p.at(3) == 0x5E && p.at(p.size() - 1) == kSysExEnd;
}

} // namespace

int StreamFramer::sysExType(const QByteArray &packet)
{
    if (!hasSysExForm(packet))
        return -1;
    const int n = packet.size();
    const quint8 sub = n > 5 ? quint8(packet.at(5)) : 0xFF;
    if (n == 6 || n == 7)
        return 0;
    if ((n == 23 || n == 24) && sub == 0x04)
        return 2;
    if ((n == 8 || n == 9) && sub == 0x03)
        return 1;
    if ((n == 7 || n == 8) && sub == 0x05)
        return 3;
    return -1;
}

bool StreamFramer::append(const QByteArray &bytes)
{
    m_buffer.append(bytes);
    return m_buffer.size() >= 4;
}

void StreamFramer::feed(const QByteArray &bytes, Sink &sink)
{
    if (!append(bytes))
        return;
    eventPass(sink);
    sink.inspect(m_buffer);
    packetPass(sink);
}

void StreamFramer::eventPass(Sink &sink) const
{
    const int whole = m_buffer.size() / 4 * 4;
    const char *data = m_buffer.constData();
    for (int i = 0; i < whole; i += 4) {
        const quint8 b1 = quint8(data[i + 1]);
        if (isAcceptedStatus(b1))
            sink.frame(4, QByteArray(data + i, 4));
        else
            sink.rejected("SerialPort::readDataSlot", quint8(data[i]), b1);
    }
}

void StreamFramer::packetPass(Sink &sink)
{
    int pos = 0;
    for (;;) {
        const int start = m_buffer.indexOf(kSysExStart, pos);
        if (start < 0) {
            m_buffer.clear();
            return;
        }
        const int end = m_buffer.indexOf(kSysExEnd, start + 1);
        if (end < 0) {
            pos = start;
            break;
        }
        QByteArray packet = m_buffer.mid(start, end - start + 1);
        pos = end + 1;
        sink.packet(packet);
    }
    m_buffer.remove(0, pos);
    // An F0 that never meets its F7 must not grow the buffer without bound.
    if (m_buffer.size() > MaxBuffered)
        m_buffer.remove(0, m_buffer.size() - MaxBuffered);
}

void StreamFramer::processPacket(QByteArray &packet, int &statusValue, Sink &sink)
{
    if (packet.size() == 6 && hasSysExForm(packet))
        statusValue = quint8(packet.at(4));

    while (!packet.isEmpty()) {
        const int type = sysExType(packet);
        if (type >= 0) {
            const QByteArray frame = packet;
            packet.clear();
            sink.frame(type, frame);
            continue;
        }
        if (packet.size() < 4) {
            packet.clear(); // the rest of the packet is dropped
            sink.incompleteGroup();
            return;
        }
        const quint8 b1 = quint8(packet.at(1));
        if (isAcceptedStatus(b1)) {
            const QByteArray frame = packet.left(4);
            packet.remove(0, 4);
            sink.frame(4, frame);
        } else {
            sink.rejected("SerialPort::processPacket", quint8(packet.at(0)), b1);
            packet.remove(0, 4);
        }
    }
}
