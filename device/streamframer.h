#pragma once

#include <QByteArray>

/// Cuts the controller's byte stream into frames. No Qt objects and no I/O:
/// the link feeds it every read and forwards what it reports.
///
/// The stream mixes four-byte USB-MIDI event packets, system-exclusive replies
/// F0 00 21 5E ... F7 and text replies of the identity and bootloader command
/// set. Frame types are those of Protocol::FrameType.
class StreamFramer
{
public:
    /// What the framer reports while it works.
    class Sink
    {
    public:
        virtual ~Sink() = default;
        /// One frame of type 0..4 (Protocol::FrameType).
        virtual void frame(int type, const QByteArray &bytes) = 0;
        /// A four-byte group whose byte 1 is no MIDI status; where names the pass.
        virtual void rejected(const char *where, quint8 byte0, quint8 byte1)
        {
            Q_UNUSED(where) Q_UNUSED(byte0) Q_UNUSED(byte1)
        }
        /// Fewer than four bytes were left of a packet that fits no reply type.
        virtual void incompleteGroup() {}
        /// The whole buffer after the event pass and before the packet pass:
        /// the place for readers of text replies.
        virtual void inspect(const QByteArray &buffer) { Q_UNUSED(buffer) }
        /// A system-exclusive packet was cut from the buffer; classify it
        /// (normally with processPacket).
        virtual void packet(QByteArray &bytes) = 0;
    };

    /// Most bytes kept while an F0 waits for its F7; older bytes are dropped.
    static constexpr int MaxBuffered = 4096;

    /// Byte 1 of a four-byte event: 80-EF channel messages, F8 clock, FA/FB/FC transport.
    static bool isAcceptedStatus(quint8 byte1)
    {
        return (byte1 >= 0x80 && byte1 <= 0xEF) || byte1 == 0xF8 || byte1 == 0xFA
               || byte1 == 0xFB || byte1 == 0xFC;
    }

    /// Frame type 0..3 of a whole system-exclusive packet, or -1 when its size
    /// and byte 5 fit none. Tried in the order 0, 2, 1, 3.
    static int sysExType(const QByteArray &packet);

    /// One read: appends the bytes and, once four or more are buffered, runs
    /// the event pass, Sink::inspect and the packet pass.
    void feed(const QByteArray &bytes, Sink &sink);

    /// Appends a read; returns false while fewer than four bytes are buffered.
    bool append(const QByteArray &bytes);
    const QByteArray &buffer() const { return m_buffer; }
    void clear() { m_buffer.clear(); }

    /// Every four-byte group of the buffer, from its start, as live events; the
    /// buffer itself is left as it is and a tail of under four bytes is ignored.
    void eventPass(Sink &sink) const;

    /// Cuts every complete F0..F7 packet out of the buffer and hands it to
    /// Sink::packet. Bytes before an F0 are dropped; without any F0 the buffer
    /// is emptied; an unfinished packet stays for the next read, capped at
    /// MaxBuffered bytes.
    void packetPass(Sink &sink);

    /// Classifies one cut packet, consuming it: whole-packet reply types first,
    /// otherwise four-byte events. A six-byte F0 00 21 5E xx F7 stores xx in
    /// statusValue.
    static void processPacket(QByteArray &packet, int &statusValue, Sink &sink);

private:
    QByteArray m_buffer;
};
