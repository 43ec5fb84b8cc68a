#include "device/reconnectpolicy.h"

void ReconnectPolicy::connected(const ControllerPort &controller)
{
    m_state = State::Armed;
    m_controller = controller;
    m_stayed.clear();
    m_attempts = 0;
}

void ReconnectPolicy::userDisconnected()
{
    m_state = State::Off;
    m_stayed.clear();
}

bool ReconnectPolicy::lost(const QList<ControllerPort> &present, qint64 nowMs, bool blocked)
{
    if (m_state != State::Armed || blocked)
        return false;
    m_state = State::Waiting;
    m_lostAt = nowMs;
    m_attempts = 0;
    m_nextTryAt = nowMs;
    m_stayed.clear();
    for (const ControllerPort &port : present)
        m_stayed.insert(port.portName);
    return true;
}

void ReconnectPolicy::shrinkStayed(const QList<ControllerPort> &present)
{
    QSet<QString> now;
    for (const ControllerPort &port : present)
        now.insert(port.portName);
    m_stayed.intersect(now);
}

bool ReconnectPolicy::sameController(const ControllerPort &lost, const ControllerPort &candidate)
{
    if (lost.description != candidate.description)
        return false;
    return lost.serialNumber.isEmpty() || candidate.serialNumber.isEmpty()
           || lost.serialNumber == candidate.serialNumber;
}

ReconnectPolicy::Decision ReconnectPolicy::poll(const QList<ControllerPort> &present,
                                                qint64 nowMs, bool blocked)
{
    Decision decision;
    if (m_state != State::Waiting)
        return decision;
    if (blocked) {
        m_state = State::Armed;
        decision.kind = Decision::Cancelled;
        return decision;
    }
    if (nowMs - m_lostAt > m_timings.windowMs) {
        m_state = State::Armed;
        decision.kind = Decision::Expired;
        return decision;
    }
    shrinkStayed(present);
    if (nowMs < m_nextTryAt)
        return decision;

    QList<ControllerPort> arrivals;
    for (const ControllerPort &port : present) {
        if (!m_stayed.contains(port.portName) && sameController(m_controller, port))
            arrivals.append(port);
    }
    if (arrivals.isEmpty())
        return decision;

    const auto single = [&arrivals](auto fits) -> const ControllerPort * {
        const ControllerPort *found = nullptr;
        for (const ControllerPort &port : arrivals) {
            if (!fits(port))
                continue;
            if (found)
                return nullptr;
            found = &port;
        }
        return found;
    };
    // A serial number that both report and agree on outweighs everything else.
    const ControllerPort *target = single([this](const ControllerPort &port) {
        return !m_controller.serialNumber.isEmpty()
               && port.serialNumber == m_controller.serialNumber;
    });
    if (!target && arrivals.size() == 1)
        target = &arrivals.first();
    if (!target) {
        target = single([this](const ControllerPort &port) {
            return port.portName == m_controller.portName;
        });
    }
    if (!target) {
        m_state = State::Armed;
        decision.kind = Decision::Ambiguous;
        for (const ControllerPort &port : arrivals)
            decision.ports.append(port.portName);
        return decision;
    }
    decision.kind = Decision::Reconnect;
    decision.target = *target;
    ++m_attempts;
    m_nextTryAt = nowMs + m_timings.retryMs;
    return decision;
}

bool ReconnectPolicy::attemptFailed(qint64 nowMs)
{
    if (m_state != State::Waiting)
        return false;
    if (m_attempts >= maxAttempts || nowMs + m_timings.retryMs - m_lostAt > m_timings.windowMs) {
        m_state = State::Armed;
        return false;
    }
    return true;
}
