// The main window's side of backing up and restoring the controller: the
// File menu entries, the progress dialog and the boxes. Reading and writing
// the controller is BackupEngine's, the file ControllerBackup's.
#include "app/widget.h"
#include "ui_widget.h"

#include "backup/backupengine.h"
#include "backup/controllerbackup.h"
#include "core/filedialogs.h"
#include "device/serialport.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>

namespace {

const QString kFilter = QStringLiteral("Controller backups (*.json)");

} // namespace

BackupEngine::AskContext Widget::backupAskContext() const
{
    return {ui->comboBox_ComDevices->currentText(), handle->extractedValue,
            ui->pendal_type_comboBox0->currentIndex()};
}

ControllerBackup Widget::backupHeader() const
{
    ControllerBackup header;
    header.model = deviceMtd;
    header.firmwareVersion = deviceVersion;
    header.created = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
    header.pedalCount = ui->Pedal_Number->count();
    return header;
}

void Widget::buildBackupMenu(QMenu *file)
{
    // Commands go out only while the window's link is open.
    backupEngine = new BackupEngine(
        [this](const QByteArray &command) {
            return handle->isOpen() && handle->write(command) == command.size();
        },
        this);
    connect(backupEngine, &BackupEngine::progress, this, [this](int done, int total) {
        if (backupProgress) {
            backupProgress->setMaximum(total);
            backupProgress->setValue(done);
        }
    });
    connect(backupEngine, &BackupEngine::finished, this, &Widget::backupJobEnded);

    backupAction = file->addAction(tr("Back Up Controller..."));
    connect(backupAction, &QAction::triggered, this, &Widget::backUpController);
    restoreAction = file->addAction(tr("Restore Controller..."));
    connect(restoreAction, &QAction::triggered, this, &Widget::restoreController);
    updateBackupActions(false);
}

void Widget::updateBackupActions(bool connected)
{
    for (QAction *action : {backupAction, restoreAction}) {
        if (action)
            action->setEnabled(connected);
    }
}

void Widget::showBackupProgress(const QString &label, int total)
{
    backupProgress = new QProgressDialog(label, tr("Cancel"), 0, total, this);
    backupProgress->setWindowTitle(tr("Controller Backup"));
    backupProgress->setWindowModality(Qt::WindowModal);
    backupProgress->setAutoClose(false);
    backupProgress->setAutoReset(false);
    backupProgress->setMinimumDuration(0);
    connect(backupProgress, &QProgressDialog::canceled, backupEngine, &BackupEngine::cancel);
    backupProgress->show();
}

bool Widget::controllerKnown(const QString &title)
{
    if (ui->Pedal_Number->count() > 0 && deviceMtd != QLatin1String("xx"))
        return true;
    QMessageBox::information(this, title,
                             tr("The controller has not reported its model and pedals yet. "
                                "Try again in a moment."));
    return false;
}

void Widget::backUpController()
{
    if (backupEngine->isRunning() || !handle->isOpen())
        return;
    const QString title = tr("Back Up Controller");
    if (!controllerKnown(title))
        return;
    const ControllerBackup header = backupHeader();
    const QString suggested = QStringLiteral("%1-%2-%3.json")
                                  .arg(header.model, header.firmwareVersion,
                                       header.created.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString name = FileDialogs::current().getSaveFileName(this, title, suggested, kFilter);
    if (name.isEmpty())
        return;
    backupFileName = name;
    if (backupEngine->startBackup(header, backupAskContext()))
        showBackupProgress(tr("Reading the controller's message slots..."),
                           header.pedalCount * ControllerBackup::SlotCount);
}

void Widget::restoreController()
{
    if (backupEngine->isRunning() || !handle->isOpen())
        return;
    const QString title = tr("Restore Controller");
    if (!controllerKnown(title))
        return;
    const QString name = FileDialogs::current().getOpenFileName(this, title, QString(), kFilter);
    if (name.isEmpty())
        return;
    beginRestore(ControllerBackup::load(name), title);
}

bool Widget::beginRestore(const ControllerBackup::Reading &reading, const QString &title)
{
    QString problem = reading.problem;
    const ControllerBackup &backup = reading.backup;
    const int pedals = ui->Pedal_Number->count();
    if (problem.isEmpty() && backup.definitionCount() == 0)
        problem = QStringLiteral("the backup holds no definition");
    for (const ControllerBackup::Entry &e : backup.entries) {
        if (problem.isEmpty() && !e.empty && e.pedal >= pedals)
            problem = QStringLiteral("it holds %1, and the connected controller has %2 pedals")
                          .arg(ControllerBackup::placeName(e.pedal, e.slot))
                          .arg(pedals);
    }
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, title,
                             tr("The backup file cannot be restored: %1.").arg(problem));
        return false;
    }
    if (backup.model != deviceMtd) {
        const auto answer = QMessageBox::question(
            this, title,
            tr("The backup was made from a %1, but the connected controller is a %2. "
               "Restore it anyway?")
                .arg(backup.model, deviceMtd),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes || !handle->isOpen())
            return false;
    }
    if (!backupEngine->startRestore(backup, backupAskContext()))
        return false;
    showBackupProgress(tr("Writing the backup to the controller..."), backup.definitionCount());
    return true;
}

void Widget::backupJobEnded()
{
    if (backupProgress) {
        backupProgress->disconnect(backupEngine);
        backupProgress->close();
        backupProgress->deleteLater();
        backupProgress = nullptr;
    }
    const BackupEngine::Outcome &outcome = backupEngine->lastOutcome();
    if (outcome.job == BackupEngine::Job::Backup && autoBackupFor != EraseStep::None) {
        autoBackupEnded(&outcome, QString());
        return;
    }
    if (outcome.job == BackupEngine::Job::Restore) {
        const QString title = tr("Restore Controller");
        if (outcome.ending == BackupEngine::Ending::Completed && outcome.mismatches.isEmpty())
            QMessageBox::information(this, title, outcome.message);
        else
            QMessageBox::warning(this, title, outcome.message);
        return;
    }

    const QString title = tr("Back Up Controller");
    if (outcome.ending == BackupEngine::Ending::Cancelled)
        return;
    const ControllerBackup backup = outcome.backup;
    if (outcome.ending != BackupEngine::Ending::Completed) {
        if (backup.entries.isEmpty()) {
            QMessageBox::warning(this, title, outcome.message);
            return;
        }
        const auto answer = QMessageBox::question(
            this, title,
            tr("%1\n\nSave the %2 message slots read so far, marked as partial?")
                .arg(outcome.message)
                .arg(backup.entries.size()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    }
    QString error;
    if (backup.save(backupFileName, &error))
        QMessageBox::information(this, title,
                                 tr("%1 message slots were saved to %2.")
                                     .arg(backup.entries.size())
                                     .arg(backupFileName));
    else
        QMessageBox::warning(this, title, tr("The backup could not be saved (%1).").arg(error));
}
