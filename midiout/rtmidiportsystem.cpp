#include "midiout/rtmidiportsystem.h"

#include "midiout/midioutput.h"

#include <RtMidi.h>

#include <QFileInfo>

#include <atomic>

#ifdef SW_HAVE_JACK
#include <jack/jack.h>
#endif

/// A JACK client of our own that learns of the server's end from its
/// shutdown callback (run on a JACK thread, hence the atomic flag).
struct JackWatch
{
#ifdef SW_HAVE_JACK
    jack_client_t *client = nullptr;
#endif
    std::atomic<bool> serverGone{false};
};

namespace {

#ifdef SW_HAVE_JACK
void onJackShutdown(void *arg)
{
    static_cast<JackWatch *>(arg)->serverGone.store(true);
}
#endif

void onRtMidiError(RtMidiError::Type type, const std::string &text, void *self)
{
    if (type == RtMidiError::DEBUG_WARNING)
        return;
    static_cast<RtMidiPortSystem *>(self)->recordError(QString::fromStdString(text));
}

RtMidi::Api apiOf(MidiBackend backend)
{
    switch (backend) {
    case MidiBackend::Alsa:
        return RtMidi::LINUX_ALSA;
    case MidiBackend::Jack:
        return RtMidi::UNIX_JACK;
    case MidiBackend::Default:
        break;
    }
#ifdef Q_OS_WIN
    return RtMidi::WINDOWS_MM;
#else
    return RtMidi::UNSPECIFIED;
#endif
}

const QString kJackServerGone = QStringLiteral("The JACK server has stopped.");

} // namespace

RtMidiPortSystem::RtMidiPortSystem(MidiBackend backend) : m_requested(backend) {}

RtMidiPortSystem::~RtMidiPortSystem()
{
    releaseClient();
}

QString RtMidiPortSystem::backendName() const
{
    switch (m_backend == MidiBackend::Default ? m_requested : m_backend) {
    case MidiBackend::Alsa:
        return QStringLiteral("ALSA");
    case MidiBackend::Jack:
        return QStringLiteral("JACK");
    case MidiBackend::Default:
        break;
    }
#ifdef Q_OS_WIN
    return QStringLiteral("Windows MIDI");
#else
    return QStringLiteral("ALSA");
#endif
}

bool RtMidiPortSystem::supportsVirtualPort() const
{
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

QString RtMidiPortSystem::takeError(const QString &fallback)
{
    const QString text = m_lastError.isEmpty() ? fallback : m_lastError;
    m_lastError.clear();
    return text;
}

bool RtMidiPortSystem::ensureClient(QString *error)
{
    if (m_out && lostCause().isEmpty())
        return true;
    if (m_out)
        releaseClient();

    MidiBackend backend = m_requested;
#ifndef Q_OS_WIN
    // The sequencer device tells whether ALSA can work here at all; without
    // it the platform's other system is JACK.
    if (backend == MidiBackend::Default)
        backend = QFileInfo::exists(QStringLiteral("/dev/snd/seq")) ? MidiBackend::Alsa
                                                                     : MidiBackend::Jack;
#endif
    m_backend = backend;

    if (backend == MidiBackend::Jack) {
#ifdef SW_HAVE_JACK
        // RtMidi cannot tell a missing server from a working one and goes on
        // with a null client, so the server is asked first.
        auto watch = std::make_unique<JackWatch>();
        jack_status_t status{};
        watch->client = jack_client_open("Stompwright-watch", JackNoStartServer, &status);
        if (!watch->client) {
            *error = QStringLiteral("The JACK server is not running.");
            return false;
        }
        jack_on_shutdown(watch->client, &onJackShutdown, watch.get());
        if (jack_activate(watch->client) != 0) {
            jack_client_close(watch->client);
            *error = QStringLiteral("The JACK server refused a client.");
            return false;
        }
        m_watch = std::move(watch);
#else
        *error = QStringLiteral("This build has no JACK support.");
        return false;
#endif
    }

    m_lastError.clear();
    try {
        m_out = new RtMidiOut(apiOf(backend), clientName);
        m_out->setErrorCallback(&onRtMidiError, this);
    } catch (const RtMidiError &e) {
        delete m_out;
        m_out = nullptr;
        *error = QStringLiteral("The %1 MIDI system cannot be opened: %2")
                     .arg(backendName(), QString::fromStdString(e.getMessage()));
        releaseClient();
        return false;
    }
    return true;
}

QStringList RtMidiPortSystem::outputPorts(QString *error)
{
    QStringList names;
    if (!ensureClient(error))
        return names;
    m_lastError.clear();
    const unsigned count = m_out->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        const QString name = QString::fromStdString(m_out->getPortName(i));
        // Our own virtual port is not a place to send to.
        if (!name.isEmpty() && !name.startsWith(QLatin1String(clientName) + QLatin1Char(':')))
            names.append(name);
    }
    if (!m_lastError.isEmpty())
        *error = takeError(QString());
    return names;
}

bool RtMidiPortSystem::openVirtualPort(const QString &name, QString *error)
{
    close();
    if (!ensureClient(error))
        return false;
    m_lastError.clear();
    m_out->openVirtualPort(name.toStdString());
    if (!m_lastError.isEmpty()) {
        *error = takeError(QString());
        return false;
    }
    m_open = true;
    m_target.clear();
    return true;
}

bool RtMidiPortSystem::openPort(const QString &portName, QString *error)
{
    close();
    if (!ensureClient(error))
        return false;
    m_lastError.clear();
    const unsigned count = m_out->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        if (QString::fromStdString(m_out->getPortName(i)) != portName)
            continue;
        m_out->openPort(i, clientName);
        if (!m_lastError.isEmpty() || !m_out->isPortOpen()) {
            *error = takeError(QStringLiteral("The MIDI port \"%1\" cannot be opened.").arg(portName));
            return false;
        }
        m_open = true;
        m_target = portName;
        return true;
    }
    *error = QStringLiteral("The MIDI port \"%1\" is not there.").arg(portName);
    return false;
}

bool RtMidiPortSystem::isOpen() const
{
    return m_open;
}

bool RtMidiPortSystem::send(const QByteArray &message, QString *error)
{
    if (!m_open) {
        *error = QStringLiteral("No MIDI port is open.");
        return false;
    }
    const QString lost = lostCause();
    if (!lost.isEmpty()) {
        *error = lost;
        return false;
    }
    m_out->sendMessage(reinterpret_cast<const unsigned char *>(message.constData()),
                       static_cast<size_t>(message.size()));
    if (!m_lastError.isEmpty()) {
        *error = takeError(QString());
        return false;
    }
    return true;
}

void RtMidiPortSystem::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_target.clear();
    if (!lostCause().isEmpty()) {
        releaseClient();
        return;
    }
    m_out->closePort();
    m_lastError.clear();
}

QString RtMidiPortSystem::lostCause() const
{
    if (m_watch && m_watch->serverGone.load(std::memory_order_relaxed))
        return kJackServerGone;
    return {};
}

QString RtMidiPortSystem::checkPort()
{
    QString cause = lostCause();
    if (!cause.isEmpty() || !m_open || m_target.isEmpty())
        return cause;
#ifdef SW_HAVE_JACK
    if (m_backend == MidiBackend::Jack && m_watch) {
        if (!jack_port_by_name(m_watch->client, m_target.toUtf8().constData()))
            return QStringLiteral("The MIDI port \"%1\" has gone away.").arg(m_target);
        return {};
    }
#endif
    m_lastError.clear();
    const unsigned count = m_out->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        if (QString::fromStdString(m_out->getPortName(i)) == m_target)
            return {};
    }
    return QStringLiteral("The MIDI port \"%1\" has gone away.").arg(m_target);
}

void RtMidiPortSystem::releaseClient()
{
    m_open = false;
    m_target.clear();
    if (!lostCause().isEmpty()) {
        // Closing either client after the server's end can crash inside
        // libjack; both are left as they are, one pair per server lost.
        qCWarning(lcMidiOut) << "Leaving the MIDI clients of a stopped JACK server unclosed";
        m_out = nullptr;
        (void)m_watch.release();
        return;
    }
    delete m_out;
    m_out = nullptr;
#ifdef SW_HAVE_JACK
    if (m_watch)
        jack_client_close(m_watch->client);
#endif
    m_watch.reset();
}
