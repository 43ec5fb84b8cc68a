#pragma once

#include "backup/autobackups.h"
#include "backup/controllerbackup.h"
#include "sim/simulatedcontroller.h"

#include <QDir>
#include <QStringList>

/// The automatic backups folder as a test sees it, emptied when the watch
/// starts; and what the folder held at the moment the controller received a
/// command of one kind (the reset, the enter-upgrade command).
class AutoBackupWatch
{
public:
    AutoBackupWatch(SimulatedController &controller, ControllerCommand::Kind kind)
    {
        QDir(AutoBackups::directory()).removeRecursively();
        QObject::connect(&controller, &SimulatedController::commandReceived, &m_context,
                         [this, kind](int received, const QByteArray &) {
                             if (received != kind)
                                 return;
                             for (const QString &path : files())
                                 atCommand.append(ControllerBackup::load(path));
                         });
    }

    /// Every file of the folder, by full path, in name order.
    static QStringList files()
    {
        QStringList out;
        const QDir dir(AutoBackups::directory());
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
            out.append(dir.filePath(name));
        return out;
    }

    /// One reading per file present when the command arrived.
    QList<ControllerBackup::Reading> atCommand;

private:
    QObject m_context;
};
