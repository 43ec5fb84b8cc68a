#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>

#include <memory>

class RtMidiIn;

/// A JACK server of the test's own with the dummy driver, under a name no
/// other test uses; this process's JACK clients find it, and none starts a
/// server by itself. Stopped when the object goes.
class JackServer
{
public:
    /// periodFrames at 48 kHz: the dummy driver's cycle, which every MIDI
    /// event waits for.
    explicit JackServer(int periodFrames = 1024);
    ~JackServer();

    /// Starts jackd and waits until a client can join; false with the reason in error().
    bool start(int timeoutMs = 10000);
    void stop();
    bool isUp() const;
    QString name() const { return m_name; }
    QString error() const { return m_error; }
    /// Length of one period of the dummy driver in microseconds.
    double periodMicroseconds() const { return m_period * 1e6 / 48000.0; }

private:
    QString m_name;
    int m_period;
    QProcess m_process;
    QString m_error;
};

/// An RtMidi input on JACK or ALSA that keeps every message it receives, in order.
class MidiInputProbe
{
public:
    enum Backend { Jack, Alsa };
    explicit MidiInputProbe(Backend backend, const QString &clientName = QStringLiteral("probe"));
    ~MidiInputProbe();

    /// Connects to the output port whose name contains portPart.
    bool connectTo(const QString &portPart);
    /// Opens an input port of our own other programs can send to.
    void openVirtual(const QString &portName);
    /// Moves what arrived since the last call into received().
    void collect();
    const QList<QByteArray> &received() const { return m_received; }
    void clear() { m_received.clear(); }
    /// Forgets the RtMidi input without closing it: for a server that has
    /// stopped, where closing a JACK client can crash inside libjack.
    void abandon();

private:
    RtMidiIn *m_in = nullptr;
    QList<QByteArray> m_received;
};
