#pragma once

#include "device/controllerport.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

/// Decides when the link reconnects by itself to a controller that went
/// away while connected. A connection arms it and a user's Disconnect turns
/// it off. A lost connection opens a window of windowMs; within it, a
/// controller that arrives with the lost one's description (and its serial
/// number where both report one; the port name may change) is the one to
/// reconnect to. "Arrives" means its port was absent at some look since the
/// loss: a controller present all along is another one, never the lost one.
/// Nothing is decided while an upgrade holds the link or runs: that ends the
/// window. Several arrivals that cannot be told apart end it as well; the
/// user chooses then. Times are milliseconds on the caller's clock.
class ReconnectPolicy
{
public:
    struct Timings {
        qint64 windowMs = 30000;
        /// After a failed open, before the next try.
        qint64 retryMs = 1000;
    };
    /// Opens tried per loss; a device node can refuse an open for a moment
    /// after it appears, until the system has set its permissions.
    static constexpr int maxAttempts = 3;

    enum class State { Off, Armed, Waiting };

    struct Decision {
        enum Kind {
            None,      ///< nothing to do now
            Reconnect, ///< open target
            Ambiguous, ///< several arrivals fit: ports names them; the window ended
            Expired,   ///< the window passed without an arrival
            Cancelled, ///< an upgrade took over: the window ended
        };
        Kind kind = None;
        ControllerPort target;
        QStringList ports;
    };

    ReconnectPolicy() = default;
    explicit ReconnectPolicy(const Timings &timings) : m_timings(timings) {}
    Timings timings() const { return m_timings; }
    void setTimings(const Timings &timings) { m_timings = timings; }

    State state() const { return m_state; }
    /// The controller of the last connection (the lost one while waiting).
    ControllerPort controller() const { return m_controller; }

    /// A connection to controller was made (by the user or by a reconnect).
    void connected(const ControllerPort &controller);
    /// The user disconnected: off until the next connection.
    void userDisconnected();
    /// The connection was lost; present: the controllers there now. True when
    /// the window opened (armed and nothing blocks).
    bool lost(const QList<ControllerPort> &present, qint64 nowMs, bool blocked);
    /// One look at the controllers present while waiting.
    Decision poll(const QList<ControllerPort> &present, qint64 nowMs, bool blocked);
    /// The open poll() asked for failed. True when another try will follow;
    /// false when the window ended.
    bool attemptFailed(qint64 nowMs);

    /// Whether candidate can be the controller lost: the same description and,
    /// where both report one, the same serial number.
    static bool sameController(const ControllerPort &lost, const ControllerPort &candidate);

private:
    Timings m_timings;
    State m_state = State::Off;
    ControllerPort m_controller;
    qint64 m_lostAt = 0;
    /// Ports present at the loss and at every look since: not arrivals.
    QSet<QString> m_stayed;
    int m_attempts = 0;
    qint64 m_nextTryAt = 0;

    void shrinkStayed(const QList<ControllerPort> &present);
};
