#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringList>

/// Why a serial port could not be opened and what the user can do about it,
/// told from what the system says (the device node's group, the user's
/// groups, a running ModemManager, an installed udev rule), never guessed.
namespace PortAccess {

/// File name of the udev rule that gives the user at the computer access to
/// the controllers and keeps ModemManager off them.
inline const char udevRuleName[] = "60-stompwright.rules";

/// One device node as the system reports it.
struct NodeFacts
{
    bool exists = false;
    /// This process may open the node for reading and writing.
    bool accessible = false;
    /// Name of the node's group (its number when the group has no name).
    QString group;
    /// The node's mode lets its group read and write it.
    bool groupMayReadWrite = false;
};

/// The user running the program.
struct UserFacts
{
    QString userName;
    /// Groups this process runs with: fixed when the user logged in.
    QStringList sessionGroups;
    /// Groups the account is in now, as the group database says.
    QStringList accountGroups;
};

/// What is known when an open failed.
struct Situation
{
    QSerialPort::SerialPortError error = QSerialPort::NoError;
    QString path; ///< the device node, e.g. /dev/ttyACM0
    NodeFacts node;
    UserFacts user;
    bool modemManagerRunning = false;
    /// Where the udev rule is installed; empty when it is not.
    QString installedRule;
};

/// The system facts behind the explanation. The system's own unless a test
/// installs another.
class FactSource
{
public:
    virtual ~FactSource() = default;
    virtual NodeFacts node(const QString &path) const = 0;
    virtual UserFacts user() const = 0;
    virtual bool modemManagerRunning() const = 0;
    /// Path of the installed udev rule; empty when none is installed.
    virtual QString installedRule() const = 0;

    static FactSource *current();
    /// Installs a source (not owned); nullptr restores the system's.
    static void setCurrent(FactSource *source);
};

/// The device node QSerialPort opens for a port name: names that are paths
/// stay as they are, others are looked for under /dev.
QString systemLocation(const QString &portName);

/// Cause and fix for the box that says an open failed; empty when the facts
/// show neither a lack of permission nor ModemManager on a busy port.
QString explain(const Situation &situation);

/// explain() with the facts of FactSource::current() for a failed open.
QString explainOpenFailure(QSerialPort::SerialPortError error, const QString &portName);

} // namespace PortAccess
