// The main window's automatic firmware upgrade: after a connect it asks the
// download server for the controller's update text; when the user accepts a
// newer version it downloads the image, restarts the controller into its
// upgrade mode, waits for the upgrade device and drives the upgrade dialog.
#include "app/widget.h"

#include "core/logging.h"
#include "device/serialport.h"
#include "update/downloadcheck.h"
#include "update/downloadserver.h"
#include "upgrade/autoupgrade.h"
#include "upgrade/firmwareimage.h"
#include "upgrade/imagechecksum.h"
#include "upgrade/upgradeports.h"
#include "upgrade/updatetext.h"
#include "upgrade/upgrade_dialog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QThread>
#include <QTimer>

namespace {

/// "hh:mm:ss.zzz [AUTO]", the start of every line of the automatic upgrade.
QString autoTag()
{
    return QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz"))
           + QStringLiteral(" [AUTO]");
}

#define AUTO_LOG qCDebug(lcUpgrade).noquote() << autoTag()

} // namespace

void Widget::startFirmwareCheck()
{
    updateDialogShown = true;
    const AutoUpgrade::CheckModel model = AutoUpgrade::checkModelFor(deviceMtd);
    AUTO_LOG << "firmware check for" << deviceMtd << deviceVersion << "index" << model.index;
    if (model.index == 0)
        return; // the latch stays until the next connect
    checkWord = model.word;
    auto *manager = new QNetworkAccessManager(this);
    connect(manager, &QNetworkAccessManager::finished, this, &Widget::handleFirmwareInfo);
    QNetworkReply *reply = manager->get(DownloadCheck::request(
        DownloadServer::url(model.textPath), m_autoTimings.transferTimeoutMs));
    DownloadCheck::limitBody(reply, DownloadCheck::maxTextBytes);
}

void Widget::handleFirmwareInfo(QNetworkReply *reply)
{
    reply->deleteLater();
    reply->manager()->deleteLater();
    QByteArray body;
    const QString failure = DownloadCheck::take(*reply, &body, m_autoTimings.transferTimeoutMs);
    if (!failure.isEmpty()) {
        AUTO_LOG << "update text not available:" << failure;
        return;
    }
    const QString text = QString::fromUtf8(body);
    const QString token = UpdateText::versionToken(text, checkWord);
    const QString description = UpdateText::description(text);
    emit send_mtd_version(deviceMtd, token);
    if (!AutoUpgrade::newerMajorMinor(deviceVersion, token)) {
        AUTO_LOG << "not newer:" << token << "device" << deviceVersion;
        return;
    }
    upgradeQuestion = AutoUpgrade::offerText(checkWord, deviceVersion, token, description);
    upgradeToken = token;
    // While the link talks to a device in its upgrade mode nobody is asked.
    if (handle->forwardIdentity) {
        AUTO_LOG << "offer" << token << "declined: the link talks to an upgrade device";
        return;
    }
    // The question says where the controller's setup was saved first.
    backUpBeforeErase(EraseStep::Upgrade);
}

void Widget::askUpgrade(const AutoBackup &backup, const QString &note)
{
    const bool accepted =
        QMessageBox::question(nullptr, tr("Update Available"),
                              upgradeQuestion + QStringLiteral("\n\n") + note,
                              QMessageBox::Ok | QMessageBox::Cancel,
                              backup.isNull() ? QMessageBox::Cancel : QMessageBox::NoButton)
        == QMessageBox::Ok;
    AUTO_LOG << "offer" << upgradeToken << (accepted ? "accepted" : "declined");
    if (!accepted)
        return;
    upgradeBackup = backup;
    downloadUpgradeImage(upgradeToken);
}

void Widget::downloadUpgradeImage(const QString &token)
{
    deviceMtd = QStringLiteral("xx");
    deviceVersion = QStringLiteral("xx");
    auto *manager = new QNetworkAccessManager(this);
    connect(manager, &QNetworkAccessManager::finished, this, &Widget::startAutoUpgradeByName);
    QNetworkReply *reply = manager->get(DownloadCheck::request(
        DownloadServer::url(UpdateText::firmwarePath(checkWord, token)),
        m_autoTimings.transferTimeoutMs));
    DownloadCheck::limitBody(reply, FirmwareImage::maxBytes);
}

void Widget::startAutoUpgradeByName(QNetworkReply *reply)
{
    reply->deleteLater();
    reply->manager()->deleteLater();
    QByteArray body;
    const QString failure = DownloadCheck::take(*reply, &body, m_autoTimings.transferTimeoutMs);
    if (DownloadCheck::oversize(*reply) >= 0) {
        // Stopped while arriving; the controller is still in normal mode.
        const QString problem = FirmwareImage::sizeProblem(DownloadCheck::oversize(*reply));
        qCWarning(lcUpgrade).noquote() << autoTag() << "image refused:" << problem;
        autoUpgradeFail(problem);
        return;
    }
    if (!failure.isEmpty()) {
        AUTO_LOG << "image not available:" << failure;
        return; // the latch stays set
    }
    // The controller is still in normal mode: a bad image costs nothing yet.
    const QString problem = FirmwareImage::sizeProblem(body.size());
    if (!problem.isEmpty()) {
        qCWarning(lcUpgrade).noquote() << autoTag() << "image refused:" << problem;
        autoUpgradeFail(problem);
        return;
    }
    ImageChecksum::check(this, reply->url(), body, m_autoTimings.transferTimeoutMs,
                         [this, body](const ImageChecksum::Result &result) {
                             if (result.verdict == ImageChecksum::Verdict::Mismatch) {
                                 qCWarning(lcUpgrade).noquote()
                                     << autoTag() << "checksum mismatch: server"
                                     << result.expected << "image" << result.actual;
                                 autoUpgradeFail(tr("The downloaded firmware does not match the "
                                                    "checksum the server offers. Nothing was "
                                                    "written to the device."));
                                 return;
                             }
                             if (result.verdict == ImageChecksum::Verdict::Unavailable) {
                                 qCWarning(lcUpgrade).noquote()
                                     << autoTag() << "checksum unavailable:" << result.note;
                                 autoUpgradeFail(tr("The checksum for the downloaded firmware "
                                                    "could not be read (%1). Nothing was written "
                                                    "to the device.")
                                                     .arg(result.note));
                                 return;
                             }
                             AUTO_LOG << "checksum"
                                      << (result.verdict == ImageChecksum::Verdict::Matches
                                              ? "verified"
                                              : "not offered");
                             enterUpgradeMode(body);
                         });
}

void Widget::enterUpgradeMode(const QByteArray &image)
{
    // Upgrade devices present now are other controllers: never the one restarted.
    upgradePortsBefore.clear();
    lastCandidatePorts.clear();
    for (const UpgradePort &port : presentUpgradePorts())
        upgradePortsBefore.append(port.portName);
    AUTO_LOG << "image" << image.size() << "bytes; entering upgrade mode; upgrade ports before:"
             << upgradePortsBefore;
    // The controller leaves now and must not be reconnected in normal mode.
    autoUpgradeActive = true;
    handle->write(AutoUpgrade::enterUpgradeCommand());
    handle->flush();
    if (!upgradeBackup.isNull()) {
        restoreOffer = upgradeBackup;
        restoreOffer.before = EraseStep::Upgrade;
        upgradeBackup = AutoBackup();
    }
    updateDialogShown = true;

    {
        // The controller restarts into its upgrade mode meanwhile.
        QMessageBox box(this);
        box.setWindowTitle(tr("Message"));
        box.setText(tr("Preparing for the upgrade..."));
        box.setStandardButtons(QMessageBox::NoButton);
        box.show();
        QCoreApplication::processEvents();
        QThread::msleep(ulong(m_autoTimings.preparationMs));
        box.close();
    }
    QTimer::singleShot(0, this, [this, image] { startAutoScan(image); });
}

void Widget::startAutoScan(QByteArray binData)
{
    AUTO_LOG << "scan start, image" << binData.size() << "bytes";
    autoBinData = binData;
    handle->initPort2();
    ug_dlg->show();
    ug_dlg->raise();
    ug_dlg->activateWindow();
    ug_dlg->clearLog();

    releaseAutoTimers();
    scanTimer = new QTimer(this);
    scanTimer->setInterval(m_autoTimings.scanIntervalMs);
    timeoutTimer = new QTimer(this);
    timeoutTimer->setSingleShot(true);
    connect(timeoutTimer, &QTimer::timeout, this, [this] {
        autoUpgradeFail(tr("Bootloader device not found (timeout).\nPlease check: device in "
                           "upgrade mode, USB cable, driver, then try again."));
    });
    connect(scanTimer, &QTimer::timeout, this, &Widget::autoScanTick);
    timeoutTimer->start(m_autoTimings.deviceTimeoutMs);
    scanTimer->start();
}

void Widget::releaseAutoTimers()
{
    for (QTimer **timer : {&scanTimer, &timeoutTimer}) {
        if (*timer) {
            (*timer)->stop();
            (*timer)->deleteLater();
            *timer = nullptr;
        }
    }
}

void Widget::autoScanTick()
{
    // The dialog's list is for the user; the choice is made on every port,
    // same-named ones included.
    ug_dlg->refreshDeviceList();
    const QList<UpgradePort> fresh =
        AutoUpgrade::newCandidates(presentUpgradePorts(), upgradePortsBefore);
    AUTO_LOG << "scan tick: state" << upgrade_dialog::stateName(ug_dlg->state()) << "new candidates"
             << fresh.size();
    // A candidate counts once a second tick finds the same: another device
    // restarting at the same time has had a tick's time to show up.
    QStringList freshPorts;
    for (const UpgradePort &port : fresh)
        freshPorts.append(port.portName);
    const bool settled = freshPorts == lastCandidatePorts;
    lastCandidatePorts = freshPorts;
    if (fresh.isEmpty() || !settled)
        return;
    if (fresh.size() > 1) {
        QStringList names;
        for (const UpgradePort &port : fresh)
            names.append(port.name + QStringLiteral(" (") + port.portName + QLatin1Char(')'));
        autoUpgradeFail(tr("Several devices entered firmware upgrade mode: %1.\nIt cannot be told "
                           "which one is the controller that was restarted, so nothing was "
                           "flashed. Connect only the controller to upgrade and try again, or "
                           "upgrade it from the Firmware Upgrade window.")
                            .arg(names.join(QStringLiteral(", "))));
        return;
    }
    const UpgradePort &found = fresh.first();
    AUTO_LOG << "FOUND Bootloader:" << found.portName << found.name << "link open"
             << handle->isOpen();
    releaseAutoTimers();
    autoHandedOver = true;
    connect(ug_dlg, &upgrade_dialog::upgradeStateChanged, this, &Widget::waitConnected,
            Qt::UniqueConnection);
    if (!ug_dlg->startUpgrade(autoBinData, found.portName)) {
        autoHandedOver = false;
        autoUpgradeFail(tr("Connect failed: cannot enter Connected state.\nCheck device mode and "
                           "whether the port is occupied."));
    }
}

void Widget::waitConnected()
{
    if (!autoHandedOver)
        return;
    const int state = ug_dlg->state();
    AUTO_LOG << "waitConnected state" << upgrade_dialog::stateName(state);
    if (state == upgrade_dialog::Erasing) {
        // The dialog carries on alone.
        autoHandedOver = false;
        autoUpgradeActive = false;
        autoBinData.clear();
        updateDialogShown = false;
        return;
    }
    if (state == upgrade_dialog::Idle || state == upgrade_dialog::FinishedFailed) {
        autoHandedOver = false;
        autoUpgradeActive = false;
        autoBinData.clear();
        if (!ug_dlg->isVisible()) {
            AUTO_LOG << "upgrade dialog closed before the upgrade started";
            updateDialogShown = false;
            return;
        }
        autoUpgradeFail(tr("Connect failed: cannot enter Connected state.\nCheck device mode and "
                           "whether the port is occupied."));
    }
}

void Widget::autoUpgradeFail(QString reason)
{
    AUTO_LOG << "FAIL:" << reason;
    releaseAutoTimers();
    autoUpgradeActive = false;
    QMessageBox::warning(this, tr("Auto Upgrade Failed"), reason);
    updateDialogShown = false;
}
