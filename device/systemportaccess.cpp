#include "device/systemportaccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <vector>
#endif

namespace {

#ifdef Q_OS_LINUX
QString groupName(gid_t gid)
{
    std::vector<char> buffer(16384);
    struct group entry;
    struct group *found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(gid);
}

QStringList groupNames(const std::vector<gid_t> &gids)
{
    QStringList names;
    for (gid_t gid : gids) {
        const QString name = groupName(gid);
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}
#endif

} // namespace

QStringList SystemPortAccess::defaultRuleDirs()
{
    return {QStringLiteral("/etc/udev/rules.d"), QStringLiteral("/run/udev/rules.d"),
            QStringLiteral("/usr/local/lib/udev/rules.d"), QStringLiteral("/usr/lib/udev/rules.d"),
            QStringLiteral("/lib/udev/rules.d")};
}

SystemPortAccess::SystemPortAccess(QString procRoot, QStringList ruleDirs)
    : m_procRoot(std::move(procRoot)), m_ruleDirs(std::move(ruleDirs))
{
}

PortAccess::NodeFacts SystemPortAccess::node(const QString &path) const
{
    PortAccess::NodeFacts facts;
#ifdef Q_OS_LINUX
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return facts;
    facts.exists = true;
    facts.accessible = ::access(native.constData(), R_OK | W_OK) == 0;
    facts.group = groupName(st.st_gid);
    facts.groupMayReadWrite = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
#else
    Q_UNUSED(path);
#endif
    return facts;
}

PortAccess::UserFacts SystemPortAccess::user() const
{
    PortAccess::UserFacts facts;
#ifdef Q_OS_LINUX
    std::vector<gid_t> session(1, getegid());
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> more(static_cast<size_t>(count));
        const int got = getgroups(count, more.data());
        if (got > 0)
            session.insert(session.end(), more.begin(), more.begin() + got);
    }
    facts.sessionGroups = groupNames(session);

    std::vector<char> buffer(16384);
    struct passwd entry;
    struct passwd *found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        facts.userName = QString::number(geteuid());
        return facts;
    }
    facts.userName = QString::fromLocal8Bit(found->pw_name);
    int accountCount = 64;
    std::vector<gid_t> account(static_cast<size_t>(accountCount));
    if (getgrouplist(found->pw_name, found->pw_gid, account.data(), &accountCount) < 0) {
        account.resize(static_cast<size_t>(accountCount));
        if (getgrouplist(found->pw_name, found->pw_gid, account.data(), &accountCount) < 0)
            accountCount = 0;
    }
    account.resize(static_cast<size_t>(accountCount));
    facts.accountGroups = groupNames(account);
#endif
    return facts;
}

bool SystemPortAccess::modemManagerRunning() const
{
#ifdef Q_OS_LINUX
    const QDir proc(m_procRoot);
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool numeric = false;
        entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile comm(proc.filePath(entry + QStringLiteral("/comm")));
        // The kernel's comm is at most 16 bytes; the name is "ModemManager".
        if (comm.open(QIODevice::ReadOnly) && comm.read(64).trimmed() == "ModemManager")
            return true;
    }
#endif
    return false;
}

QString SystemPortAccess::installedRule() const
{
#ifdef Q_OS_LINUX
    for (const QString &dir : m_ruleDirs) {
        const QString path = QDir(dir).filePath(QLatin1String(PortAccess::udevRuleName));
        if (QFileInfo(path).isFile())
            return path;
    }
#endif
    return QString();
}
