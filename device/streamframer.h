#pragma once

#include <QByteArray>

/// Cuts the controller's byte stream into frames. No Qt objects and no I/O:
/// the link feeds it every read and forwards what it reports.
///
/// The stream mixes four-byte USB-MIDI event packets, system-exclusive replies
/// F0 00 21 5E ... F7 and text replies of the identity and bootloader command
/// set. Frame types are those of Protocol::FrameType.
///
/// The stream is read front to back, one item at a time, and every decision
/// depends only on the bytes of the item and the one byte after a text run;
/// an item that is not complete waits for the next read. So a stream cut into
/// reads anywhere yields the same frames, in stream order, as in one read.
class StreamFramer
{
public:
    /// What the framer reports while it works, in stream order.
    class Sink
    {
    public:
        virtual ~Sink() = default;
        /// One frame of type 0..4 (Protocol::FrameType).
        virtual void frame(int type, const QByteArray &bytes) = 0;
        /// Bytes skipped while looking for the next item: garbage, a packet
        /// of no reply type, text that is no reply.
        virtual void rejected(const QByteArray &bytes) { Q_UNUSED(bytes) }
        /// One text reply: a line ending CR LF (a model line, an AA CC reply)
        /// or the bootloader's "ERASE END".
        virtual void text(const QByteArray &reply) { Q_UNUSED(reply) }
        /// A system-exclusive packet was cut from the stream; classify it
        /// (normally with processPacket).
        virtual void packet(QByteArray &bytes) = 0;
    };

    /// Bound of the bytes kept between reads.
    static constexpr int MaxBuffered = 4096;
    /// Longest system-exclusive packet or text run waited for. The longest
    /// reply of the protocol is 24 bytes; a packet whose F7 was lost is given
    /// up at this length and its bytes are read again as the stream they are.
    static constexpr int MaxItem = 256;
    static_assert(MaxItem <= MaxBuffered, "an unfinished item must fit the buffer");

    /// Byte 1 of a four-byte event: 80-EF channel messages, F8 clock, FA/FB/FC
    /// transport. Byte 0 is not examined; bytes 2 and 3 must be below 80.
    static bool isAcceptedStatus(quint8 byte1)
    {
        return (byte1 >= 0x80 && byte1 <= 0xEF) || byte1 == 0xF8 || byte1 == 0xFA
               || byte1 == 0xFB || byte1 == 0xFC;
    }

    /// Frame type 0..3 of a whole system-exclusive packet, or -1 when its size
    /// and byte 5 fit none. Tried in the order 0, 2, 1, 3.
    static int sysExType(const QByteArray &packet);

    /// Length of the system-exclusive packet at the head of bytes: > 0 when it
    /// is complete, 0 while it needs more bytes, -1 when the head starts no
    /// packet of the controller's form (or no F7 came within MaxItem bytes).
    static int packetLength(const char *bytes, int available);

    /// One read: appends the bytes and reports every item now complete.
    void feed(const QByteArray &bytes, Sink &sink);

    /// The start of an unfinished item, waiting for the next read.
    const QByteArray &buffer() const { return m_buffer; }
    /// Forgets the unfinished item; a feed running meanwhile (from a sink
    /// callback) reports nothing more.
    void clear()
    {
        m_buffer.clear();
        m_cleared = true;
    }

    /// Classifies one cut packet, consuming it: a packet of a reply type is
    /// one frame, any other is rejected whole. A six-byte F0 00 21 5E xx F7
    /// stores xx in statusValue.
    static void processPacket(QByteArray &packet, int &statusValue, Sink &sink);

private:
    QByteArray m_buffer;
    QByteArray m_event{4, '\0'};
    bool m_cleared = false;
};
