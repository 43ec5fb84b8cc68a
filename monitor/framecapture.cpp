#include "monitor/framecapture.h"

#include <algorithm>

CapturedFrame CapturedFrame::of(qint64 arrivedUs, const QByteArray &frame)
{
    CapturedFrame c;
    c.arrivedUs = arrivedUs;
    c.size = quint8(std::min<int>(frame.size(), 4));
    for (int i = 0; i < c.size; ++i)
        c.bytes[i] = quint8(frame.at(i));
    return c;
}

FrameCapture::FrameCapture(int capacity) : m_capacity(std::max(1, capacity)) {}

void FrameCapture::restart(qint64 startUs)
{
    m_frames.clear();
    m_head = 0;
    m_added = 0;
    m_startUs = startUs;
}

void FrameCapture::add(const CapturedFrame &frame)
{
    ++m_added;
    if (int(m_frames.size()) < m_capacity) {
        m_frames.push_back(frame);
        return;
    }
    m_frames[size_t(m_head)] = frame;
    m_head = (m_head + 1) % m_capacity;
}

const CapturedFrame &FrameCapture::at(int i) const
{
    return m_frames[size_t((m_head + i) % int(m_frames.size()))];
}
