#include "midiout/midioutput.h"

#include "midiout/midimessage.h"

Q_LOGGING_CATEGORY(lcMidiOut, "stompwright.midiout", QtInfoMsg)

QString MidiTarget::toSetting() const
{
    switch (kind) {
    case Virtual:
        return QStringLiteral("Virtual");
    case Port:
        return QStringLiteral("Port:") + port;
    case Off:
        break;
    }
    return QStringLiteral("Off");
}

MidiTarget MidiTarget::fromSetting(const QString &text)
{
    MidiTarget t;
    if (text == QLatin1String("Virtual")) {
        t.kind = Virtual;
    } else if (text.startsWith(QLatin1String("Port:")) && text.size() > 5) {
        t.kind = Port;
        t.port = text.mid(5);
    }
    return t;
}

MidiOutput::MidiOutput(QObject *parent) : QObject(parent)
{
    setBackend(MidiBackend::Default);
    m_check.setInterval(250);
    connect(&m_check, &QTimer::timeout, this, &MidiOutput::checkPort);
}

MidiOutput::~MidiOutput() = default;

void MidiOutput::setSystemFactory(SystemFactory factory)
{
    m_factory = std::move(factory);
    if (!isOn())
        m_system.reset();
}

void MidiOutput::setBackend(MidiBackend backend)
{
    setSystemFactory([backend] { return std::make_unique<RtMidiPortSystem>(backend); });
}

MidiPortSystem *MidiOutput::system()
{
    if (!m_system)
        m_system = m_factory();
    return m_system.get();
}

bool MidiOutput::supportsVirtualPort() const
{
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

QStringList MidiOutput::availablePorts()
{
    QString error;
    const QStringList ports = system()->outputPorts(&error);
    if (!error.isEmpty())
        qCDebug(lcMidiOut) << "No port list:" << error;
    return ports;
}

bool MidiOutput::select(const MidiTarget &target)
{
    if (target == m_target)
        return true;
    if (m_system)
        m_system->close();
    m_check.stop();
    m_target = MidiTarget();
    if (target.kind == MidiTarget::Off) {
        emit targetChanged(m_target);
        return true;
    }
    QString error;
    const bool opened = target.kind == MidiTarget::Virtual
                            ? system()->openVirtualPort(virtualPortName(), &error)
                            : system()->openPort(target.port, &error);
    if (!opened) {
        fail(error);
        return false;
    }
    m_target = target;
    m_check.start();
    qCDebug(lcMidiOut) << "MIDI output on" << m_system->backendName() << target.toSetting();
    emit targetChanged(m_target);
    return true;
}

void MidiOutput::sendFrame(const QByteArray &frame)
{
    const QByteArray message = MidiMessage::fromEventFrame(frame);
    if (message.isEmpty())
        return;
    QString error;
    if (!m_system->send(message, &error)) {
        fail(error);
        return;
    }
    ++m_sent;
}

void MidiOutput::checkPort()
{
    if (!m_system || !isOn())
        return;
    const QString cause = m_system->checkPort();
    if (!cause.isEmpty())
        fail(cause);
}

void MidiOutput::fail(const QString &cause)
{
    m_check.stop();
    if (m_system) {
        m_system->close();
        // A system whose server is gone is made anew at the next use.
        if (!m_system->lostCause().isEmpty())
            m_system.reset();
    }
    const bool wasOff = m_target.kind == MidiTarget::Off;
    m_target = MidiTarget();
    qCWarning(lcMidiOut).noquote() << "MIDI output off:" << cause;
    if (!wasOff)
        emit targetChanged(m_target);
    emit failed(cause);
}
