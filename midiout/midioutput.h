#pragma once

#include "midiout/rtmidiportsystem.h"

#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

Q_DECLARE_LOGGING_CATEGORY(lcMidiOut) ///< MIDI output: ports, failures

/// Where the live events go: nowhere, a virtual port of ours, or a port of
/// another program by name. Stored in the settings as text.
struct MidiTarget
{
    enum Kind { Off, Virtual, Port };
    Kind kind = Off;
    QString port;

    bool operator==(const MidiTarget &o) const { return kind == o.kind && port == o.port; }
    /// "Off", "Virtual" or "Port:" and the port's name.
    QString toSetting() const;
    /// The target a setting names; anything unknown is Off.
    static MidiTarget fromSetting(const QString &text);
};

/// The one owner of the MIDI output. The MIDI system is made on first use,
/// so nothing of it runs while the output stays Off. A failure to open, a
/// failed send or a lost port or server turns the output Off and is reported
/// once through failed().
class MidiOutput : public QObject
{
    Q_OBJECT

public:
    using SystemFactory = std::function<std::unique_ptr<MidiPortSystem>()>;

    explicit MidiOutput(QObject *parent = nullptr);
    ~MidiOutput() override;

    /// Name of the virtual port (and of our client) other programs see.
    static QString virtualPortName() { return QStringLiteral("Stompwright"); }

    /// How the MIDI system is made; the default is RtMidi on the platform's
    /// system. Takes effect at the next use after the output is Off.
    void setSystemFactory(SystemFactory factory);
    void setBackend(MidiBackend backend);
    /// How often a lost port or server is looked for while the output is on.
    void setCheckInterval(int ms) { m_check.setInterval(ms); }

    bool supportsVirtualPort() const;
    /// The ports of other programs now; makes the MIDI system when there is none.
    QStringList availablePorts();

    MidiTarget target() const { return m_target; }
    bool isOn() const { return m_target.kind != MidiTarget::Off; }
    /// Whether the MIDI system has been made (for the start-up promise).
    bool systemMade() const { return m_system != nullptr; }

    /// Opens the target (Off closes); false after failed() on failure.
    bool select(const MidiTarget &target);

    /// Sends the message of one live event frame while the output is on.
    void forwardFrame(const QByteArray &frame)
    {
        if (m_target.kind != MidiTarget::Off)
            sendFrame(frame);
    }
    /// Messages sent since the output was made.
    qint64 sentMessages() const { return m_sent; }

signals:
    /// The output went Off by itself; cause is for the user.
    void failed(const QString &cause);
    void targetChanged(const MidiTarget &target);

private:
    void sendFrame(const QByteArray &frame);
    void checkPort();
    void fail(const QString &cause);
    MidiPortSystem *system();

    SystemFactory m_factory;
    std::unique_ptr<MidiPortSystem> m_system;
    MidiTarget m_target;
    QTimer m_check;
    qint64 m_sent = 0;
};
