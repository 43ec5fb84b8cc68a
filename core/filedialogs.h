#pragma once

#include <QString>

class QWidget;

/// The file dialogs the program asks for file names with. The system's
/// are QFileDialog's static functions; tests install their own and answer
/// without a window.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;

    virtual QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
    virtual QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter) = 0;

    /// The installed dialogs; the system's unless setCurrent() installed others.
    static FileDialogs &current();
    /// Installs dialogs (not owned); nullptr restores the system's.
    static void setCurrent(FileDialogs *dialogs);
};
