#include "device/portaccess.h"

#include "device/systemportaccess.h"

namespace PortAccess {

namespace {

FactSource *replacement = nullptr;

QString ruleAdvice(const Situation &s)
{
    if (!s.installedRule.isEmpty())
        return QStringLiteral("The udev rule %1 gives the user at the computer access to the "
                              "controller: unplug the controller and plug it in again.")
            .arg(s.installedRule);
    return QStringLiteral("Or give the user at the computer access without the group: install "
                          "the Stompwright package, or copy its udev rule %1 to "
                          "/etc/udev/rules.d/, then unplug the controller and plug it in again.")
        .arg(QLatin1String(udevRuleName));
}

QString permissionCause(const Situation &s)
{
    const QString &group = s.node.group;
    const QString &user = s.user.userName;
    if (s.user.sessionGroups.contains(group))
        return QStringLiteral("The port %1 belongs to the group \"%2\". The user %3 is in it, "
                              "but the group may not read and write the port.")
            .arg(s.path, group, user);
    if (s.user.accountGroups.contains(group))
        return QStringLiteral("The port %1 belongs to the group \"%2\". The user %3 was added "
                              "to it after this session started: log out and log in again.")
            .arg(s.path, group, user);
    return QStringLiteral("The port %1 belongs to the group \"%2\", and the user %3 is not in "
                          "it. To join the group, run\n    sudo usermod -aG %2 $USER\nthen log "
                          "out and log in again.")
        .arg(s.path, group, user);
}

QString modemManagerCause(const Situation &s)
{
    const QString rule = s.installedRule.isEmpty()
        ? QStringLiteral("The udev rule %1 of the Stompwright package tells it to leave the "
                         "controller alone: install the package, or copy the rule to "
                         "/etc/udev/rules.d/, then unplug the controller and plug it in again.")
              .arg(QLatin1String(udevRuleName))
        : QStringLiteral("The udev rule %1 tells it to leave the controller alone: unplug the "
                         "controller and plug it in again.")
              .arg(s.installedRule);
    return QStringLiteral("The port %1 is in use. ModemManager is running and may have taken "
                          "it: it probes new serial devices for modems. %2\n\nOr stop "
                          "ModemManager:\n    sudo systemctl stop ModemManager")
        .arg(s.path, rule);
}

} // namespace

FactSource *FactSource::current()
{
    static SystemPortAccess system;
    return replacement ? replacement : &system;
}

void FactSource::setCurrent(FactSource *source)
{
    replacement = source;
}

QString systemLocation(const QString &portName)
{
    if (portName.startsWith(QLatin1Char('/')) || portName.startsWith(QLatin1String("./"))
        || portName.startsWith(QLatin1String("../")))
        return portName;
    return QStringLiteral("/dev/") + portName;
}

QString explain(const Situation &s)
{
    // QSerialPort reports a refused open (EACCES), a busy device (EBUSY) and
    // a lock held by another program alike as PermissionError; whether the
    // node itself is accessible tells them apart.
    if (s.error != QSerialPort::PermissionError || !s.node.exists)
        return QString();
    if (!s.node.accessible) {
        // In the group, and the group may use the port, yet refused: the
        // facts at hand do not say why.
        if (s.node.group.isEmpty()
            || (s.node.groupMayReadWrite && s.user.sessionGroups.contains(s.node.group)))
            return QString();
        return permissionCause(s) + QStringLiteral("\n\n") + ruleAdvice(s);
    }
    if (s.modemManagerRunning)
        return modemManagerCause(s);
    return QString();
}

QString explainOpenFailure(QSerialPort::SerialPortError error, const QString &portName)
{
    if (error != QSerialPort::PermissionError)
        return QString();
    const FactSource *facts = FactSource::current();
    Situation s;
    s.error = error;
    s.path = systemLocation(portName);
    s.node = facts->node(s.path);
    s.user = facts->user();
    s.modemManagerRunning = facts->modemManagerRunning();
    s.installedRule = facts->installedRule();
    return explain(s);
}

} // namespace PortAccess
