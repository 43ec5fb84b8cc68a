#include "device/streamframer.h"

#include <cstring>
#include <initializer_list>

namespace {

constexpr quint8 kSysExStart = 0xF0;
constexpr quint8 kSysExEnd = 0xF7;
/// AA CC opens a reply of the text command set. As an event it would be a
/// program change under code index A, which no USB-MIDI packet carries.
constexpr quint8 kTextHead0 = 0xAA;
constexpr quint8 kTextHead1 = 0xCC;
/// Sub-code of the configuration reply, whose data may hold any byte.
constexpr quint8 kConfigurationSubCode = 0x04;
/// The bootloader's erase confirmation comes without a line end.
constexpr char kEraseEnd[] = "ERASE END";
constexpr int kEraseEndLength = int(sizeof(kEraseEnd)) - 1;

bool hasSysExForm(const QByteArray &p)
{
    return p.size() >= 5 && quint8(p.at(0)) == kSysExStart && p.at(1) == 0x00 && p.at(2) == 0x21
           && p.at(3) == 0x5E && quint8(p.at(p.size() - 1)) == kSysExEnd;
}

/// Bytes 2 and 3 of an event are MIDI data bytes. Asking for that keeps an
/// event seen in garbage from swallowing the F0 of the packet after it.
bool isEventData(quint8 data1, quint8 data2)
{
    return data1 < 0x80 && data2 < 0x80;
}

bool isPrintable(quint8 b)
{
    return b >= 0x20 && b < 0x7F;
}

/// Length of the run of seven-bit bytes at the head of d, scanned from index
/// from on; 0 while it is undecided. A run ends after CR LF or "ERASE END"
/// (then reply is set), before any byte of 80 or above, and before the byte
/// that precedes an accepted status byte: that byte is the header of an event.
int textRunLength(const quint8 *d, int available, int from, bool &reply)
{
    reply = false;
    for (int q = from;; ++q) {
        if (q >= StreamFramer::MaxItem)
            return q;
        if (q >= available)
            return 0;
        const quint8 c = d[q];
        if (c >= 0x80)
            return StreamFramer::isAcceptedStatus(c) ? q - 1 : q;
        if (c == '\n' && d[q - 1] == '\r') {
            reply = true;
            return q + 1;
        }
        if (c == 'D' && q + 1 >= kEraseEndLength
            && std::memcmp(d + q + 1 - kEraseEndLength, kEraseEnd, kEraseEndLength) == 0) {
            reply = true;
            return q + 1;
        }
    }
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

int StreamFramer::packetLength(const char *bytes, int available)
{
    const auto *d = reinterpret_cast<const quint8 *>(bytes);
    static const quint8 head[4] = {kSysExStart, 0x00, 0x21, 0x5E};
    for (int i = 0; i < 4; ++i) {
        if (i >= available)
            return 0;
        if (d[i] != head[i])
            return -1;
    }
    // Places where an F7 ends the packet whatever follows, tried in order.
    // F0 00 21 5E xx 04 F7 is a handshake reply (four pedals). Otherwise
    // sub-code 04 is a configuration reply, cut by its length and not by the
    // first F7: its data bytes may hold F7 (trigger level 247). Byte 22 is
    // the trigger level's high byte, never above 3F, so F7 there ends the
    // 23-byte form.
    const auto fixedEnd = [&](std::initializer_list<int> places) {
        for (int i : places) {
            if (i >= available)
                return 0;
            if (d[i] == kSysExEnd)
                return i + 1;
        }
        return -1;
    };
    int end = fixedEnd({4, 5});
    if (end < 0 && d[5] == kConfigurationSubCode)
        end = fixedEnd({6, 22, 23});
    if (end >= 0)
        return end;
    const int limit = qMin(available, MaxItem);
    if (const void *f7 = std::memchr(d + 6, kSysExEnd, size_t(limit - 6)))
        return int(static_cast<const quint8 *>(f7) - d) + 1;
    return available >= MaxItem ? -1 : 0;
}

void StreamFramer::feed(const QByteArray &bytes, Sink &sink)
{
    // The sink may clear the framer (the link reopened); the bytes of this
    // call are then worked on no further.
    QByteArray work;
    if (m_buffer.isEmpty()) {
        work = bytes;
    } else {
        work.swap(m_buffer);
        work.append(bytes);
    }
    m_cleared = false;

    const char *data = work.constData();
    const auto *udata = reinterpret_cast<const quint8 *>(data);
    const int n = work.size();
    int pos = 0;
    int skippedFrom = -1;
    const auto flushSkipped = [&] {
        if (skippedFrom >= 0) {
            sink.rejected(work.mid(skippedFrom, pos - skippedFrom));
            skippedFrom = -1;
        }
    };

    while (!m_cleared && n - pos >= 2) {
        const quint8 *d = udata + pos;
        const int available = n - pos;
        const quint8 b0 = d[0];
        const quint8 b1 = d[1];
        const bool textHead = b0 == kTextHead0 && b1 == kTextHead1;
        if (isAcceptedStatus(b1) && !textHead) {
            if (available < 4)
                break;
            if (!isEventData(d[2], d[3])) {
                // Not an event after all: garbage, found again on the next byte.
                if (skippedFrom < 0)
                    skippedFrom = pos;
                ++pos;
                continue;
            }
            flushSkipped();
            // One array carries every event; it is copied only when a
            // receiver kept the last one.
            std::memcpy(m_event.data(), data + pos, 4);
            pos += 4;
            sink.frame(4, m_event);
            continue;
        }
        int skip = 1;
        if (b0 == kSysExStart) {
            const int length = packetLength(data + pos, available);
            if (length == 0)
                break;
            if (length > 0) {
                flushSkipped();
                QByteArray packet(data + pos, length);
                pos += length;
                sink.packet(packet);
                continue;
            }
        } else if (textHead || isPrintable(b0)) {
            bool reply = false;
            const int length = textRunLength(d, available, textHead ? 2 : 1, reply);
            if (length == 0)
                break;
            if (reply) {
                flushSkipped();
                const QByteArray text(data + pos, length);
                pos += length;
                sink.text(text);
                continue;
            }
            skip = length;
        }
        if (skippedFrom < 0)
            skippedFrom = pos;
        pos += skip;
    }
    if (m_cleared)
        return;
    flushSkipped();
    if (!m_cleared && pos < n)
        m_buffer = work.mid(pos);
}

void StreamFramer::processPacket(QByteArray &packet, int &statusValue, Sink &sink)
{
    QByteArray taken;
    taken.swap(packet);
    if (taken.size() == 6 && hasSysExForm(taken))
        statusValue = quint8(taken.at(4));
    const int type = sysExType(taken);
    if (type >= 0)
        sink.frame(type, taken);
    else
        sink.rejected(taken);
}
