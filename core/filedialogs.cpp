#include "core/filedialogs.h"

#include <QFileDialog>

namespace {

class SystemFileDialogs : public FileDialogs
{
public:
    QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                            const QString &filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter);
    }
    QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                            const QString &filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    }
};

FileDialogs *installed = nullptr;

} // namespace

FileDialogs &FileDialogs::current()
{
    static SystemFileDialogs system;
    return installed ? *installed : system;
}

void FileDialogs::setCurrent(FileDialogs *dialogs)
{
    installed = dialogs;
}
