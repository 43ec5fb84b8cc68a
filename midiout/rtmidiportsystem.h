#pragma once

#include "midiout/midiportsystem.h"

#include <memory>

class RtMidiOut;
struct JackWatch;

/// Which MIDI system RtMidi talks to. Default is the platform's own: on Linux
/// the ALSA sequencer, or JACK where the sequencer cannot be opened.
enum class MidiBackend { Default, Alsa, Jack };

/// MidiPortSystem on RtMidi. On JACK a client of its own watches the server
/// and the port we send to: RtMidi does not notice a server that went away,
/// and releasing RtMidi's client after that crashes inside libjack, so such a
/// client is left behind instead of closed.
class RtMidiPortSystem : public MidiPortSystem
{
public:
    explicit RtMidiPortSystem(MidiBackend backend = MidiBackend::Default);
    ~RtMidiPortSystem() override;

    /// Client name of the output in the MIDI system.
    static constexpr const char *clientName = "Stompwright";

    QString backendName() const override;
    bool supportsVirtualPort() const override;
    QStringList outputPorts(QString *error) override;
    bool openVirtualPort(const QString &name, QString *error) override;
    bool openPort(const QString &portName, QString *error) override;
    bool isOpen() const override;
    bool send(const QByteArray &message, QString *error) override;
    void close() override;
    QString lostCause() const override;
    QString checkPort() override;

    /// The RtMidi error text of the last failed call, cleared by each call.
    void recordError(const QString &text) { m_lastError = text; }

private:
    bool ensureClient(QString *error);
    /// Drops RtMidi's client and the watch; leaves them behind when the JACK server died.
    void releaseClient();
    QString takeError(const QString &fallback);

    MidiBackend m_requested;
    MidiBackend m_backend = MidiBackend::Default;
    RtMidiOut *m_out = nullptr;
    std::unique_ptr<JackWatch> m_watch;
    bool m_open = false;
    /// Full name of the port of another program we send to; empty for a virtual port.
    QString m_target;
    QString m_lastError;
};
