#pragma once

#include <QList>

#include <functional>

/// Modal boxes that open strictly one after another, in the order they were
/// posted: a box posted while another of the queue is open (its event loop
/// runs the posting code) waits until that one is closed.
class BoxQueue
{
public:
    /// Runs open now, or after the boxes before it when one is open.
    void post(std::function<void()> open)
    {
        m_pending.append(std::move(open));
        if (m_open)
            return;
        m_open = true;
        while (!m_pending.isEmpty())
            m_pending.takeFirst()();
        m_open = false;
    }

private:
    QList<std::function<void()>> m_pending;
    bool m_open = false;
};
