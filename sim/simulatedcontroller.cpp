#include "sim/simulatedcontroller.h"

#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace {

int nextSerial = 1;

/// bytes cut at the offsets that fall inside it, in ascending order.
QList<QByteArray> cutAt(const QByteArray &bytes, QList<int> cuts)
{
    std::sort(cuts.begin(), cuts.end());
    QList<QByteArray> pieces;
    int start = 0;
    for (int cut : qAsConst(cuts)) {
        if (cut <= start || cut >= bytes.size())
            continue;
        pieces.append(bytes.mid(start, cut - start));
        start = cut;
    }
    pieces.append(bytes.mid(start));
    return pieces;
}

} // namespace

SimulatedController::SimulatedController(const QString &modelName, QObject *parent)
    : QObject(parent),
      m_behaviour(SimulatedModel::byName(modelName)),
      m_serialNumber(QStringLiteral("SIM%1").arg(nextSerial++, 4, 10, QLatin1Char('0'))),
      m_sendTimer(new QTimer(this)),
      m_eventTimer(new QTimer(this)),
      m_reappearTimer(new QTimer(this)),
      m_eraseTimer(new QTimer(this))
{
    m_clock.start();
    for (QTimer *timer : {m_reappearTimer, m_eraseTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
    connect(m_reappearTimer, &QTimer::timeout, this, &SimulatedController::plugIn);
    connect(m_eraseTimer, &QTimer::timeout, this, &SimulatedController::onEraseDone);
    m_sendTimer->setSingleShot(true);
    m_sendTimer->setTimerType(Qt::PreciseTimer);
    connect(m_sendTimer, &QTimer::timeout, this, &SimulatedController::flushDue);
    m_eventTimer->setTimerType(Qt::PreciseTimer);
    connect(m_eventTimer, &QTimer::timeout, this, &SimulatedController::onEventTick);
    plugIn();
}

SimulatedController::~SimulatedController()
{
    closeDescriptors();
}

QString SimulatedController::instanceId() const
{
    return QStringLiteral("USB\\VID_%1&PID_%2\\")
               .arg(vendorId(), 4, 16, QLatin1Char('0'))
               .arg(productId(), 4, 16, QLatin1Char('0'))
               .toUpper()
           + m_serialNumber;
}

QString SimulatedController::usbDescription() const
{
    return m_mode == Mode::Upgrade ? model().name + QStringLiteral(" Bootloader")
                                   : model().usbDescription;
}

int SimulatedController::productId() const
{
    return m_mode == Mode::Upgrade ? model().bootloaderProductId : model().productId;
}

bool SimulatedController::plugIn()
{
    if (isPluggedIn())
        return true;
    m_reappearTimer->stop();
    int master = -1;
    int slave = -1;
    char name[128] = {};
    const auto open = [&] {
        return ::openpty(&master, &slave, nullptr, nullptr, nullptr) == 0
               && ::ptsname_r(master, name, sizeof name) == 0;
    };
    if (!open()) {
        m_errorString = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    // The lowest free number comes back first: while it is held, the next
    // pseudo-terminal gets another one.
    if (!m_previousPortName.isEmpty() && QString::fromLocal8Bit(name) == m_previousPortName) {
        const int heldMaster = master;
        const int heldSlave = slave;
        if (!open()) {
            master = heldMaster;
            slave = heldSlave;
            ::ptsname_r(master, name, sizeof name);
        } else {
            ::close(heldMaster);
            ::close(heldSlave);
        }
    }
    // Raw from the start; the setting outlives the slave descriptor.
    termios tio;
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    // Without an open slave the master reads EIO and polls HUP: that is how
    // the controller tells whether a host has the port open.
    ::close(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);

    m_master = master;
    m_portName = QString::fromLocal8Bit(name);
    m_errorString.clear();

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    m_readNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this,
            &SimulatedController::onMasterReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this,
            &SimulatedController::onMasterWritable);

    // Opening the slave is seen through inotify; closing it through EIO.
    m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 && ::inotify_add_watch(m_watch, name, IN_OPEN | IN_CLOSE) >= 0) {
        m_watchNotifier = new QSocketNotifier(m_watch, QSocketNotifier::Read, this);
        connect(m_watchNotifier, &QSocketNotifier::activated, this,
                &SimulatedController::onWatchEvent);
    }
    const bool modeChanges = m_mode != m_nextMode;
    m_mode = m_nextMode;
    refreshHostState();
    if (modeChanges)
        emit modeChanged(int(m_mode));
    return true;
}

void SimulatedController::setMode(Mode mode, int delayMs)
{
    vanish();
    m_nextMode = mode;
    if (delayMs > 0)
        m_reappearTimer->start(delayMs);
    else
        plugIn();
}

void SimulatedController::vanish()
{
    m_reappearTimer->stop();
    m_nextMode = m_mode;
    if (!isPluggedIn())
        return;
    closeDescriptors();
    endUpgradeSession();
    m_previousPortName = m_portName;
    m_portName.clear();
    m_outbox.clear();
    m_backlog.clear();
    m_sendTimer->stop();
    m_behaviour.resetInput();
    setHostConnected(false);
}

void SimulatedController::closeDescriptors()
{
    // The controller may vanish from within a notifier's own signal.
    for (QSocketNotifier **notifier : {&m_readNotifier, &m_writeNotifier, &m_watchNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
        }
        *notifier = nullptr;
    }
    if (m_watch >= 0)
        ::close(m_watch);
    m_watch = -1;
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

void SimulatedController::onWatchEvent()
{
    char buffer[1024];
    while (::read(m_watch, buffer, sizeof buffer) > 0) {
    }
    refreshHostState();
}

void SimulatedController::refreshHostState()
{
    if (!isPluggedIn())
        return;
    pollfd p{m_master, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return;
    const bool hungUp = p.revents & POLLHUP;
    if (hungUp && m_hostConnected) {
        // What the host wrote before it closed the port has reached the
        // device, as it would over a cable.
        char buffer[4096];
        ssize_t n = 0;
        while (isPluggedIn() && (n = ::read(m_master, buffer, sizeof buffer)) > 0)
            handleReceived(QByteArray(buffer, int(n)));
    }
    setHostConnected(!hungUp);
}

void SimulatedController::setHostConnected(bool connected)
{
    if (m_readNotifier)
        m_readNotifier->setEnabled(connected);
    if (m_hostConnected == connected)
        return;
    m_hostConnected = connected;
    if (!connected) {
        m_outbox.clear();
        m_backlog.clear();
        m_sendTimer->stop();
        if (m_writeNotifier)
            m_writeNotifier->setEnabled(false);
        m_behaviour.resetInput();
    }
    emit hostConnectedChanged(connected);
}

void SimulatedController::onMasterReadable()
{
    char buffer[4096];
    while (isPluggedIn()) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            handleReceived(QByteArray(buffer, int(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        setHostConnected(false); // EIO: the host closed the port
        return;
    }
}

void SimulatedController::handleReceived(const QByteArray &bytes)
{
    const qint64 now = elapsedMs();
    m_received.append({now, bytes});
    emit bytesReceived(bytes);
    if (m_imagePhase) {
        handleImage(bytes);
        return;
    }
    const QList<ControllerCommand> commands = m_behaviour.feed(bytes);
    for (const ControllerCommand &command : commands) {
        m_commands.append({now, command});
        emit commandReceived(command.kind, command.bytes);
        if (m_silent || !isPluggedIn())
            continue;
        handleCommand(command);
    }
}

void SimulatedController::handleCommand(const ControllerCommand &command)
{
    if (m_mode == Mode::Normal) {
        if (command.kind == ControllerCommand::EnterUpgrade && m_upgradeReappearDelayMs >= 0) {
            setMode(Mode::Upgrade, m_upgradeReappearDelayMs);
            return;
        }
        const QList<QByteArray> replies = m_behaviour.respond(command);
        for (const QByteArray &reply : replies)
            queueReply(reply);
        return;
    }
    switch (command.kind) {
    case ControllerCommand::Identity:
    case ControllerCommand::Version: {
        const QList<QByteArray> replies = m_behaviour.respond(command);
        for (const QByteArray &reply : replies)
            queueReply(reply);
        break;
    }
    case ControllerCommand::Erase:
        // Erasing the flash for a new image loses the stored definitions too.
        m_behaviour.clearDefinitions();
        m_image.clear();
        m_imageChunks = 0;
        m_eraseTimer->stop();
        if (m_eraseDelayMs >= 0)
            m_eraseTimer->start(m_eraseDelayMs);
        break;
    default: // the bootloader knows no other command
        break;
    }
}

void SimulatedController::onEraseDone()
{
    if (!isPluggedIn())
        return;
    // An unfinished frame behind the erase command is not looked at again.
    m_behaviour.resetInput();
    m_imagePhase = true;
    queueReply(ControllerBehaviour::eraseConfirmation());
}

void SimulatedController::handleImage(const QByteArray &bytes)
{
    m_image.append(bytes);
    ++m_imageChunks;
    emit imageBytesReceived(m_image.size());
    if (m_vanishAfterImageBytes >= 0 && m_image.size() >= m_vanishAfterImageBytes)
        vanish();
}

void SimulatedController::endUpgradeSession()
{
    m_eraseTimer->stop();
    m_imagePhase = false;
}

void SimulatedController::queueReply(const QByteArray &frame)
{
    QList<int> cuts = m_allCuts;
    int gap = m_allGapMs;
    if (!m_nextCuts.isEmpty()) {
        cuts = m_nextCuts;
        gap = m_nextGapMs;
        m_nextCuts.clear();
    }
    const qint64 start = elapsedMs() + m_replyDelayMs;
    const QList<QByteArray> pieces = cutAt(frame, cuts);
    for (int i = 0; i < pieces.size(); ++i)
        enqueue(pieces.at(i), start + qint64(i) * gap);
}

void SimulatedController::splitNextReply(const QList<int> &cuts, int gapMs)
{
    m_nextCuts = cuts;
    m_nextGapMs = gapMs;
}

void SimulatedController::splitAllReplies(const QList<int> &cuts, int gapMs)
{
    m_allCuts = cuts;
    m_allGapMs = gapMs;
}

void SimulatedController::send(const QByteArray &bytes, int delayMs)
{
    enqueue(bytes, elapsedMs() + delayMs);
}

void SimulatedController::sendSplit(const QByteArray &bytes, const QList<int> &cuts, int gapMs)
{
    const qint64 start = elapsedMs();
    const QList<QByteArray> pieces = cutAt(bytes, cuts);
    for (int i = 0; i < pieces.size(); ++i)
        enqueue(pieces.at(i), start + qint64(i) * gapMs);
}

void SimulatedController::sendStatus(quint8 value)
{
    send(ControllerBehaviour::statusReply(value));
}

void SimulatedController::sendGarbage(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes;
    while (bytes.size() < count) {
        const char b = char(random.bounded(256));
        if (quint8(b) != 0xF0)
            bytes.append(b);
    }
    send(bytes);
}

void SimulatedController::sendEvent(quint8 status, quint8 data1, quint8 data2)
{
    send(ControllerBehaviour::usbMidiEvent(status, data1, data2));
}

void SimulatedController::startEvents(double perSecond, const QList<QByteArray> &sequence)
{
    if (perSecond <= 0) {
        stopEvents();
        return;
    }
    m_eventSequence = sequence;
    m_eventStep = 0;
    m_eventTimer->start(qMax(1, int(1000.0 / perSecond)));
}

void SimulatedController::stopEvents()
{
    m_eventTimer->stop();
}

void SimulatedController::onEventTick()
{
    if (!m_hostConnected)
        return;
    const int step = m_eventStep++;
    send(m_eventSequence.isEmpty() ? ControllerBehaviour::demoEvent(step)
                                   : m_eventSequence.at(step % m_eventSequence.size()));
}

void SimulatedController::enqueue(const QByteArray &bytes, qint64 due)
{
    if (bytes.isEmpty())
        return;
    // Never overtake what is queued already.
    if (!m_outbox.isEmpty())
        due = qMax(due, m_outbox.last().due);
    m_outbox.append({due, bytes});
    flushDue();
}

void SimulatedController::flushDue()
{
    const qint64 now = elapsedMs();
    while (!m_outbox.isEmpty() && m_outbox.first().due <= now)
        writeOut(m_outbox.takeFirst().bytes);
    if (!m_outbox.isEmpty())
        m_sendTimer->start(int(m_outbox.first().due - now));
}

void SimulatedController::writeOut(const QByteArray &bytes)
{
    if (!m_hostConnected)
        refreshHostState(); // the host may have opened the port a moment ago
    if (!m_hostConnected)
        return;
    m_sent.append({elapsedMs(), bytes});
    emit bytesSent(bytes);
    m_backlog.append(bytes);
    onMasterWritable();
}

void SimulatedController::onMasterWritable()
{
    while (!m_backlog.isEmpty() && isPluggedIn()) {
        const ssize_t n = ::write(m_master, m_backlog.constData(), size_t(m_backlog.size()));
        if (n > 0) {
            m_backlog.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        m_backlog.clear(); // EIO: the host is gone
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_backlog.isEmpty());
}

QByteArray SimulatedController::receivedBytes() const
{
    QByteArray all;
    for (const Chunk &chunk : m_received)
        all += chunk.bytes;
    return all;
}

QList<QByteArray> SimulatedController::commandsOf(ControllerCommand::Kind kind) const
{
    QList<QByteArray> list;
    for (const TimedCommand &c : m_commands) {
        if (c.command.kind == kind)
            list.append(c.command.bytes);
    }
    return list;
}

void SimulatedController::clearRecords()
{
    m_received.clear();
    m_commands.clear();
    m_sent.clear();
}
