#include "support/jackserver.h"

#include <RtMidi.h>

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTest>

#include <jack/jack.h>

#include <atomic>
#include <vector>

JackServer::JackServer(int periodFrames) : m_period(periodFrames)
{
    static std::atomic<int> serial{0};
    m_name = QStringLiteral("sw-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(serial++);
    qputenv("JACK_DEFAULT_SERVER", m_name.toUtf8());
    qputenv("JACK_NO_START_SERVER", "1");
}

JackServer::~JackServer()
{
    stop();
}

bool JackServer::start(int timeoutMs)
{
    const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
    if (jackd.isEmpty()) {
        m_error = QStringLiteral("jackd is not installed (Debian package jackd2)");
        return false;
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start(jackd, {QStringLiteral("--no-realtime"), QStringLiteral("-n"), m_name,
                            QStringLiteral("-d"), QStringLiteral("dummy"), QStringLiteral("-r"),
                            QStringLiteral("48000"), QStringLiteral("-p"),
                            QString::number(m_period)});
    if (!m_process.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("jackd did not start: ") + m_process.errorString();
        return false;
    }
    if (!QTest::qWaitFor([this] { return isUp() || m_process.state() != QProcess::Running; },
                         timeoutMs)
        || !isUp()) {
        m_error = QStringLiteral("jackd took no client");
        return false;
    }
    return true;
}

void JackServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool JackServer::isUp() const
{
    jack_status_t status{};
    jack_client_t *client = jack_client_open("sw-probe", JackNoStartServer, &status);
    if (!client)
        return false;
    jack_client_close(client);
    return true;
}

MidiInputProbe::MidiInputProbe(Backend backend, const QString &clientName)
{
    m_in = new RtMidiIn(backend == Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA,
                        clientName.toStdString(), 10000);
    m_in->ignoreTypes(false, false, false);
}

MidiInputProbe::~MidiInputProbe()
{
    delete m_in;
}

bool MidiInputProbe::connectTo(const QString &portPart)
{
    const unsigned count = m_in->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        if (QString::fromStdString(m_in->getPortName(i)).contains(portPart)) {
            m_in->openPort(i);
            return m_in->isPortOpen();
        }
    }
    return false;
}

void MidiInputProbe::openVirtual(const QString &portName)
{
    m_in->openVirtualPort(portName.toStdString());
}

void MidiInputProbe::collect()
{
    std::vector<unsigned char> message;
    for (;;) {
        m_in->getMessage(&message);
        if (message.empty())
            break;
        m_received.append(QByteArray(reinterpret_cast<const char *>(message.data()),
                                     int(message.size())));
    }
}

void MidiInputProbe::abandon()
{
    m_in = nullptr;
}
