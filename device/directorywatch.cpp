#include "device/directorywatch.h"

#include "core/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QThread>

DirectoryWatch::DirectoryWatch(const QStringList &dirs, Changed changed)
    : m_changed(std::move(changed))
{
    for (const QString &dir : dirs) {
        if (dir.isEmpty())
            continue;
        const QString clean = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
        if (!m_dirs.contains(clean))
            m_dirs.append(clean);
    }
}

DirectoryWatch::~DirectoryWatch()
{
    if (!m_watcher)
        return;
    QObject::disconnect(m_watcher, nullptr, nullptr, nullptr);
    if (m_watcher->thread() == QThread::currentThread())
        delete m_watcher.data();
    else
        m_watcher->deleteLater();
}

bool DirectoryWatch::watching()
{
    if (m_refused || m_dirs.isEmpty())
        return false;
    if (!m_watcher) {
        QCoreApplication *app = QCoreApplication::instance();
        if (!app)
            return false;
        m_watcher = new QFileSystemWatcher(app);
        m_covered = false;
        QObject::connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_watcher, [this] {
            m_changed();
            m_covered = cover();
        });
    }
    if (!m_covered)
        m_covered = cover();
    return m_covered;
}

QStringList DirectoryWatch::coverage() const
{
    QStringList covering;
    for (QString dir : m_dirs) {
        while (!QFileInfo(dir).isDir()) {
            const QString parent = QFileInfo(dir).path();
            if (parent == dir)
                break;
            dir = parent;
        }
        if (!covering.contains(dir))
            covering.append(dir);
    }
    return covering;
}

bool DirectoryWatch::cover()
{
    const QStringList wanted = coverage();
    const QStringList watched = m_watcher->directories();
    for (const QString &dir : watched) {
        if (!wanted.contains(dir))
            m_watcher->removePath(dir);
    }
    for (const QString &dir : wanted) {
        if (watched.contains(dir) || m_watcher->addPath(dir))
            continue;
        if (QFileInfo(dir).isDir()) {
            qCWarning(lcLink) << "Cannot watch" << dir << "for device changes;"
                              << "devices are listed afresh at every scan";
            m_refused = true;
        }
        return false;
    }
    // A directory that appeared while its parent's watch was being set up
    // sent no event to anyone: not covered, so the next call covers it.
    return coverage() == wanted;
}
