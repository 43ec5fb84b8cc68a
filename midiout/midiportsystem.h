#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// The MIDI system behind the output: one backend, at most one open port.
/// Every call reports failure through its result and a cause for the user;
/// none throws.
class MidiPortSystem
{
public:
    virtual ~MidiPortSystem() = default;

    /// Name of the backend in use ("ALSA", "JACK", ...), for messages.
    virtual QString backendName() const = 0;
    /// Whether this platform lets other programs connect to a port of ours.
    virtual bool supportsVirtualPort() const = 0;
    /// The output ports of other programs, by name; empty with a cause on failure.
    virtual QStringList outputPorts(QString *error) = 0;
    virtual bool openVirtualPort(const QString &name, QString *error) = 0;
    virtual bool openPort(const QString &portName, QString *error) = 0;
    virtual bool isOpen() const = 0;
    /// Sends one complete MIDI message.
    virtual bool send(const QByteArray &message, QString *error) = 0;
    virtual void close() = 0;
    /// Cheap enough for every message: why the open port can carry nothing
    /// more (server gone), or empty.
    virtual QString lostCause() const = 0;
    /// Slower, for a timer: the above, and whether the port we send to still exists.
    virtual QString checkPort() = 0;
};
