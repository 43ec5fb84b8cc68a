#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <vector>

/// One live event frame as the monitor keeps it: when it arrived and its
/// bytes. A plain value of 16 bytes, so that a long capture costs no
/// allocation per frame.
struct CapturedFrame
{
    /// Arrival at the monitor, in microseconds since the Unix epoch.
    qint64 arrivedUs = 0;
    /// The frame's first four bytes (a USB-MIDI event packet); the rest are 0.
    quint8 bytes[4] = {0, 0, 0, 0};
    /// How many of bytes are the frame's: 0 (a row without a frame) to 4.
    quint8 size = 0;

    static CapturedFrame of(qint64 arrivedUs, const QByteArray &frame);
    QByteArray frame() const
    {
        return QByteArray(reinterpret_cast<const char *>(bytes), size);
    }
};

/// Every frame since the capture was started (at Connect), up to a bound: a
/// ring that, once full, overwrites its oldest frame with each new one.
class FrameCapture
{
public:
    /// 2^18 frames (4 MiB): 91 s at the full 115200-baud line rate of 2880
    /// frames per second, hours of a pedal played by foot.
    static constexpr int defaultCapacity = 1 << 18;

    explicit FrameCapture(int capacity = defaultCapacity);

    /// Empties the ring; startUs is the time the capture counts from.
    void restart(qint64 startUs);
    void add(const CapturedFrame &frame);

    int capacity() const { return m_capacity; }
    /// Frames held, at most capacity().
    int size() const { return int(m_frames.size()); }
    /// Frame i of those held, 0 the oldest.
    const CapturedFrame &at(int i) const;
    /// Frames added since the start, and those of them overwritten.
    qint64 added() const { return m_added; }
    qint64 overwritten() const { return m_added - qint64(m_frames.size()); }
    qint64 startUs() const { return m_startUs; }

private:
    int m_capacity;
    /// Grows to the capacity, then the oldest frame is at m_head.
    std::vector<CapturedFrame> m_frames;
    int m_head = 0;
    qint64 m_added = 0;
    qint64 m_startUs = 0;
};
