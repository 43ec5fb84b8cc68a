#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

/// Makes a fresh temporary directory the working directory for one scope,
/// so config.ini and presets written there leave the build tree alone.
class ScopedCurrentDir
{
public:
    ScopedCurrentDir() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~ScopedCurrentDir() { QDir::setCurrent(m_previous); }
    ScopedCurrentDir(const ScopedCurrentDir &) = delete;
    ScopedCurrentDir &operator=(const ScopedCurrentDir &) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
