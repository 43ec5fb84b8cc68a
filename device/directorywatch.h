#pragma once

#include "device/devicewatch.h"

#include <QPointer>
#include <QStringList>

class QFileSystemWatcher;

/// Reports entries created, removed or changed in a set of directories, such
/// as /dev where serial device nodes appear. A directory that does not exist
/// yet is covered by watching its nearest existing parent until it appears.
class DirectoryWatch : public DeviceWatch
{
public:
    DirectoryWatch(const QStringList &dirs, Changed changed);
    ~DirectoryWatch() override;

    /// Needs an application object; the watcher is made on first use as its
    /// child, and made again if that application ends and another starts.
    bool watching() override;

private:
    /// Watches each directory or its nearest existing parent; false when a
    /// watch was refused or the directories changed while it was set up.
    bool cover();
    QStringList coverage() const;

    QStringList m_dirs;
    Changed m_changed;
    QPointer<QFileSystemWatcher> m_watcher;
    bool m_covered = false;
    bool m_refused = false;
};
