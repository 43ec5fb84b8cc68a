// The main window's automatic backups: before a factory reset and before the
// automatic firmware upgrade restarts the controller, every message slot is
// read into the per-user data directory, the confirmation says where, and
// when the same model connects again the tool offers once to write it back.
#include "app/widget.h"
#include "ui_widget.h"

#include "backup/autobackups.h"
#include "core/logging.h"
#include "pedal/configcommands.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

namespace {

QString stepName(bool upgrade)
{
    return upgrade ? QStringLiteral("the upgrade") : QStringLiteral("the factory reset");
}

QString withoutBackup()
{
    return Widget::tr(
        "Without a backup, the message definitions the controller holds may be lost.");
}

} // namespace

void Widget::backUpBeforeErase(EraseStep step)
{
    if (backupEngine->isRunning()) {
        // The job under way, automatic or not, keeps its own ending.
        const AutoBackup none{QString(), QString(), QDateTime(), step};
        const QString note = tr("No backup could be made first: a backup or restore of the "
                                "controller is under way.\n%1")
                                 .arg(withoutBackup());
        step == EraseStep::Upgrade ? askUpgrade(none, note) : askFactoryReset(none, note);
        return;
    }
    autoBackupFor = step;
    if (ui->Pedal_Number->count() == 0 || deviceMtd == QLatin1String("xx")) {
        autoBackupEnded(nullptr, tr("The controller has not reported its model and pedals yet."));
        return;
    }
    const ControllerBackup header = backupHeader();
    if (!backupEngine->startBackup(header, backupAskContext())) {
        autoBackupEnded(nullptr, tr("The backup could not be started."));
        return;
    }
    showBackupProgress(tr("Backing up the controller before %1...")
                           .arg(stepName(step == EraseStep::Upgrade)),
                       header.pedalCount * ControllerBackup::SlotCount);
}

void Widget::autoBackupEnded(const BackupEngine::Outcome *outcome, const QString &reason)
{
    const EraseStep step = autoBackupFor;
    autoBackupFor = EraseStep::None;
    if (!handle->isOpen()) {
        qCInfo(lcLink) << "The controller went away during its automatic backup";
        return; // nothing left to erase or to ask
    }
    const QString without = withoutBackup();
    AutoBackup saved;
    QString note;
    if (!outcome) {
        note = tr("No backup could be made first. %1\n%2").arg(reason, without);
    } else if (outcome->ending == BackupEngine::Ending::Cancelled) {
        note = tr("The backup was cancelled.\n%1").arg(without);
    } else if (outcome->ending != BackupEngine::Ending::Completed) {
        note = tr("No backup could be made first. %1\n%2").arg(outcome->message, without);
    } else {
        QString error;
        saved = saveAutoBackup(outcome->backup, &error);
        note = saved.isNull()
                   ? tr("No backup could be made first: it could not be saved (%1).\n%2")
                         .arg(error, without)
                   : tr("The controller's setup was backed up to:\n%1").arg(saved.path);
    }
    saved.before = step;
    if (step == EraseStep::Upgrade)
        askUpgrade(saved, note);
    else
        askFactoryReset(saved, note);
}

Widget::AutoBackup Widget::saveAutoBackup(const ControllerBackup &backup, QString *error) const
{
    const QString dir = AutoBackups::directory();
    if (!QDir().mkpath(dir)) {
        *error = tr("cannot make the folder %1").arg(dir);
        return {};
    }
    const QString path = QDir(dir).filePath(AutoBackups::fileName(
        backup.model, backup.firmwareVersion, QDateTime::currentDateTimeUtc()));
    if (!backup.save(path, error))
        return {};
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.json")}, QDir::Files);
    for (const QString &old : AutoBackups::toPrune(files, backup.model)) {
        if (!QFile::remove(QDir(dir).filePath(old)))
            qCWarning(lcLink) << "Cannot delete the old automatic backup" << old;
    }
    return {backup.model, path, backup.created, EraseStep::None};
}

void Widget::askFactoryReset(const AutoBackup &backup, const QString &note)
{
    const auto answer = QMessageBox::question(
        this, QStringLiteral("Reset"), QStringLiteral("Factory Reset?") + QStringLiteral("\n\n") + note,
        QMessageBox::Ok | QMessageBox::Cancel,
        backup.isNull() ? QMessageBox::Cancel : QMessageBox::NoButton);
    if (answer != QMessageBox::Ok)
        return;
    lastCommand = {StatusLine::Command::FactoryReset, -1, -1};
    const QByteArray reset = ConfigCommands::factoryReset();
    // A closed port fails the write silently; only a reset sent is followed by an offer.
    if (handle->write(reset) == reset.size() && !backup.isNull()) {
        restoreOffer = backup;
        restoreOffer.before = EraseStep::FactoryReset;
    }
}

void Widget::maybeOfferRestore()
{
    if (restoreOffer.isNull() || restoreOfferPosted || restoreOffer.model != deviceMtd
        || handle->holder() != SerialPort::Holder::MainWindow)
        return;
    // Not from within the link's read: the question waits for the user.
    restoreOfferPosted = true;
    QTimer::singleShot(0, this, &Widget::offerRestore);
}

void Widget::offerRestore()
{
    restoreOfferPosted = false;
    if (restoreOffer.isNull() || restoreOffer.model != deviceMtd || !handle->isOpen()
        || handle->holder() != SerialPort::Holder::MainWindow || backupEngine->isRunning()
        || ui->Pedal_Number->count() == 0)
        return; // asked at a later connect
    const AutoBackup offer = restoreOffer;
    restoreOffer = AutoBackup();
    const QString time =
        offer.created.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const QString question =
        offer.before == EraseStep::Upgrade
            ? tr("Restore the setup saved before the upgrade (%1)?").arg(time)
            : tr("Restore the setup saved before the factory reset (%1)?").arg(time);
    const QString title = tr("Restore Controller");
    const auto answer = QMessageBox::question(this, title, question,
                                              QMessageBox::Yes | QMessageBox::No,
                                              QMessageBox::Yes);
    if (answer != QMessageBox::Yes || !handle->isOpen() || backupEngine->isRunning())
        return;
    beginRestore(ControllerBackup::load(offer.path), title);
}
