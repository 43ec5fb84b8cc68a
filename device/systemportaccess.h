#pragma once

#include "device/portaccess.h"

#include <QStringList>

/// The system's own facts for PortAccess: the device node's metadata, the
/// user's groups from the process and the group database, ModemManager among
/// the processes under the proc directory, and the udev rule directories.
/// Elsewhere than on Linux it knows nothing, and no help is added.
class SystemPortAccess : public PortAccess::FactSource
{
public:
    /// The udev rule directories, highest priority first.
    static QStringList defaultRuleDirs();

    explicit SystemPortAccess(QString procRoot = QStringLiteral("/proc"),
                              QStringList ruleDirs = defaultRuleDirs());

    PortAccess::NodeFacts node(const QString &path) const override;
    PortAccess::UserFacts user() const override;
    bool modemManagerRunning() const override;
    QString installedRule() const override;

private:
    QString m_procRoot;
    QStringList m_ruleDirs;
};
