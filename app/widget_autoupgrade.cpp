// The main window's automatic firmware upgrade: after a connect it asks the
// download server for the controller's update text; when the user accepts a
// newer version it downloads the image, restarts the controller into its
// upgrade mode, waits for the upgrade device and drives the upgrade dialog.
#include "app/widget.h"
#include "ui_upgrade_dialog.h"

#include "core/logging.h"
#include "device/serialport.h"
#include "update/downloadcheck.h"
#include "update/downloadserver.h"
#include "upgrade/autoupgrade.h"
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
    manager->get(DownloadCheck::request(DownloadServer::url(model.textPath),
                                        m_autoTimings.transferTimeoutMs));
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
    const QString question =
        AutoUpgrade::offerText(checkWord, deviceVersion, token, description);
    // While the link talks to a device in its upgrade mode nobody is asked.
    bool accepted = false;
    if (!handle->forwardIdentity) {
        accepted = QMessageBox::question(nullptr, tr("Update Available"), question,
                                         QMessageBox::Ok | QMessageBox::Cancel)
                   == QMessageBox::Ok;
    }
    AUTO_LOG << "offer" << token << (accepted ? "accepted" : "declined");
    if (!accepted)
        return;
    deviceMtd = QStringLiteral("xx");
    deviceVersion = QStringLiteral("xx");
    auto *manager = new QNetworkAccessManager(this);
    connect(manager, &QNetworkAccessManager::finished, this, &Widget::startAutoUpgradeByName);
    manager->get(DownloadCheck::request(
        DownloadServer::url(UpdateText::firmwarePath(checkWord, token)),
        m_autoTimings.transferTimeoutMs));
}

void Widget::startAutoUpgradeByName(QNetworkReply *reply)
{
    reply->deleteLater();
    reply->manager()->deleteLater();
    QByteArray body;
    const QString failure = DownloadCheck::take(*reply, &body, m_autoTimings.transferTimeoutMs);
    if (!failure.isEmpty()) {
        AUTO_LOG << "image not available:" << failure;
        return; // the latch stays set
    }
    AUTO_LOG << "image" << body.size() << "bytes; entering upgrade mode";
    handle->write(AutoUpgrade::enterUpgradeCommand());
    handle->flush();
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
    QTimer::singleShot(0, this, [this, body] { startAutoScan(body); });
}

void Widget::startAutoScan(QByteArray binData)
{
    AUTO_LOG << "scan start, image" << binData.size() << "bytes";
    autoBinData = binData;
    handle->initPort2();
    ug_dlg->show();
    ug_dlg->raise();
    ug_dlg->activateWindow();
    ug_dlg->ui->textBrowser->clear();

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
    ug_dlg->refreshDeviceList();
    QComboBox *list = ug_dlg->ui->comboBox;
    int found = -1;
    for (int i = 0; i < list->count() && found < 0; ++i) {
        if (AutoUpgrade::isBootloaderName(list->itemText(i))
            && !list->itemData(i).toString().isEmpty())
            found = i;
    }
    AUTO_LOG << "scan tick: state" << upgrade_dialog::stateName(ug_dlg->upgradeState) << "items"
             << list->count() << "found" << found;
    if (found < 0)
        return;
    AUTO_LOG << "FOUND Bootloader:" << found << list->itemData(found).toString()
             << list->itemText(found) << "link open" << handle->isOpen();
    releaseAutoTimers();
    if (handle->isOpen())
        handle->close();
    list->setCurrentIndex(found);
    ug_dlg->autoupdateflag = true;
    ug_dlg->on_pushButton_clicked();
    ug_dlg->firmwareData = autoBinData;
    attempt = 0;
    if (waitTimer)
        waitTimer->deleteLater();
    waitTimer = new QTimer(this);
    connect(waitTimer, &QTimer::timeout, this, &Widget::waitConnected);
    waitTimer->start(m_autoTimings.connectPollMs);
}

void Widget::waitConnected()
{
    ++attempt;
    const int state = ug_dlg->upgradeState;
    AUTO_LOG << "waitConnected tick attempt=" << attempt << "state"
             << upgrade_dialog::stateName(state);
    const auto stopWaiting = [this] {
        waitTimer->stop();
        waitTimer->deleteLater();
        waitTimer = nullptr;
    };
    if (state == upgrade_dialog::Connected) {
        stopWaiting();
        ug_dlg->on_pushButton_4_clicked();
        updateDialogShown = false;
        return;
    }
    if (state == upgrade_dialog::Idle || state == upgrade_dialog::FinishedFailed) {
        stopWaiting();
        autoUpgradeFail(tr("Connect failed: cannot enter Connected state.\nCheck device mode and "
                           "whether the port is occupied."));
        return;
    }
    if (attempt > m_autoTimings.maxConnectPolls) {
        stopWaiting();
        autoUpgradeFail(tr("Connect timeout: waited too long for Connected state."));
    }
}

void Widget::autoUpgradeFail(QString reason)
{
    AUTO_LOG << "FAIL:" << reason;
    releaseAutoTimers();
    QMessageBox::warning(this, tr("Auto Upgrade Failed"), reason);
    updateDialogShown = false;
}
