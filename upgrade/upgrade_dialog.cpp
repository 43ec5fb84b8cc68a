// The upgrade dialog's engine: the device list, connecting, the state
// machine, the erase and the paced block transfer, and the failure paths.
#include "upgrade/upgrade_dialog.h"
#include "ui_upgrade_dialog.h"

#include "core/logging.h"
#include "device/devicesource.h"
#include "device/identity.h"
#include "device/serialport.h"
#include "device/usbdevicedescriptions.h"

#include <QCloseEvent>
#include <QMap>
#include <QMessageBox>
#include <QTimer>

namespace {

/// AA CC 02 00 02 0D 0A: erase the application flash; answered "ERASE END".
const QByteArray eraseCommand = QByteArray::fromHex("AA CC 02 00 02 0D 0A");

const char removedText[] =
    "The device was physically removed during firmware upgrade.\n\n"
    "\u2022 Flash may be partially erased.\n"
    "\u2022 The device may not boot normally.\n\n"
    "<b>Please do the following:</b>\n"
    "1. Reconnect the USB cable.\n"
    "2. Put the device back into firmware upgrade mode.\n"
    "3. Try upgrading again.\n\n"
    "If the device no longer enters upgrade mode, please contact technical support.";

/// The device list's name of a port: its USB description, or what the
/// system says of it when the USB tree does not know it.
QString displayName(const SerialPortRecord &port, const QMap<UsbId, QString> &descriptions)
{
    const auto found = descriptions.constFind(UsbId{port.productId, port.vendorId});
    if (found != descriptions.constEnd())
        return found.value();
    return (port.manufacturer + QLatin1Char(' ') + port.description + QStringLiteral(" (")
            + port.portName + QLatin1Char(')'))
        .simplified();
}

} // namespace

upgrade_dialog::upgrade_dialog(QWidget *parent, SerialPort *link)
    : QDialog(parent), ui(new Ui::upgrade_dialog), port(link)
{
    // 1.
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    // 2.
    connect(port, &SerialPort::send_vesion, this, &upgrade_dialog::rec_version);
    connect(port, &SerialPort::send_MTD, this, &upgrade_dialog::rec_mtd);
    connect(port, &SerialPort::send_erase, this, &upgrade_dialog::rec_erase_flag);
    connect(port, &QSerialPort::errorOccurred, this, &upgrade_dialog::handleSerialError);
    // 3.
    ui->progressBar->setValue(0);
    ui->pushButton->setText(tr("Connect"));
    setWindowTitle(tr("Firmware Upgrade"));
    ui->textBrowser_2->setText(tr("Please refer to the product manual to put the device into "
                                  "firmware upgrade mode before connecting."));
    // 4. Refreshed for the whole run, hidden or not.
    refreshTimer = new QTimer(this);
    connect(refreshTimer, &QTimer::timeout, this, &upgrade_dialog::refreshDeviceList);
    refreshTimer->start(m_timings.refreshIntervalMs);
    // 5.
    connect(port, &SerialPort::portDisconnected, this, &upgrade_dialog::onPortDisconnected);
    connect(port, &SerialPort::portReconnected, this, &upgrade_dialog::onPortReconnected);
    connect(port, &QSerialPort::errorOccurred, this, &upgrade_dialog::onLinkFatalError);
    // 6.
    eraseTimer = new QTimer(this);
    eraseTimer->setSingleShot(true);
    connect(eraseTimer, &QTimer::timeout, this, &upgrade_dialog::onEraseTimeout);

    // The form's Close button closes the dialog, as its title bar's does.
    connect(ui->pushButton_2, &QPushButton::clicked, this, &QWidget::close);
}

upgrade_dialog::~upgrade_dialog()
{
    delete ui;
}

QString upgrade_dialog::stateName(int state)
{
    switch (state) {
    case Idle: return QStringLiteral("Idle");
    case Connected: return QStringLiteral("Connected");
    case Erasing: return QStringLiteral("Erasing");
    case Sending: return QStringLiteral("Sending");
    case FinishedSuccess: return QStringLiteral("FinishedSuccess");
    case FinishedFailed: return QStringLiteral("FinishedFailed");
    default: return QStringLiteral("Unknown");
    }
}

void upgrade_dialog::setTimings(const Timings &timings)
{
    m_timings = timings;
    refreshTimer->start(m_timings.refreshIntervalMs);
}

void upgrade_dialog::appendLog(const QString &line)
{
    ui->textBrowser->append(line);
}

// ---- device list ----

void upgrade_dialog::refreshDeviceList()
{
    QMap<QString, QString> before;
    for (int i = 0; i < ui->comboBox->count(); ++i)
        before.insert(ui->comboBox->itemText(i), ui->comboBox->itemData(i).toString());
    const QString previous =
        ui->comboBox->currentIndex() >= 0 ? ui->comboBox->currentData().toString() : QString();

    const QMap<UsbId, QString> descriptions = usbDeviceDescriptions(nullptr, L"USB", nullptr, false);
    QMap<QString, QString> now;
    int count = 0;
    for (const SerialPortRecord &p : DeviceSource::current()->serialPorts()) {
        const QString name = displayName(p, descriptions);
        // A controller in normal mode is the main window's.
        if (name.isEmpty() || name.contains(QLatin1String("Veltrano")))
            continue;
        now.insert(name, p.portName);
        ++count;
    }
    if (now == before)
        return;

    for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
        if (now.contains(it.key()))
            continue;
        const int index =
            ui->comboBox->findText(it.key(), Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            ui->comboBox->removeItem(index);
    }
    for (auto it = now.constBegin(); it != now.constEnd(); ++it) {
        if (!before.contains(it.key()))
            ui->comboBox->addItem(it.key(), it.value());
    }

    appendLog(tr("Device list refreshed: found %1 upgrade device(s).").arg(count));
    if (count == 0)
        appendLog(tr("No upgrade device detected.\nPlease ensure the device is in firmware "
                     "upgrade mode and properly connected."));

    if (!previous.isEmpty()) {
        const int index = ui->comboBox->findData(previous, Qt::UserRole,
                                                 Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            ui->comboBox->setCurrentIndex(index);
    } else if (ui->comboBox->count() > 0 && ui->comboBox->currentIndex() < 0) {
        ui->comboBox->setCurrentIndex(0);
    }
}

// ---- connection and identity ----

void upgrade_dialog::on_pushButton_clicked()
{
    if (port->isOpen()) {
        port->close();
        port->forwardIdentity = false;
        setUpgradeState(Idle);
        return;
    }
    if (ui->comboBox->count() == 0) {
        QMessageBox::warning(this, tr("No Device"),
                             tr("No upgrade device detected. Please check connection and mode."));
        return;
    }
    const QString name = ui->comboBox->currentData(Qt::UserRole).toString();
    openedPortName = name;
    if (port->openPort(name, 115200)) {
        port->forwardIdentity = true;
        port->write(Identity::identityQuery());
        port->flush();
        setUpgradeState(Connected);
    } else {
        QMessageBox::warning(this, tr("Error"), tr("Failed to open port: %1").arg(port->errorString()));
    }
}

void upgrade_dialog::rec_mtd(QString MTD)
{
    productModel = MTD;
    appendLog(tr("Product Model: %1").arg(MTD));
}

void upgrade_dialog::rec_version(QString version)
{
    currentFirmware = version;
    appendLog(tr("Current Firmware: %1").arg(version));
    // The automatic upgrade brings its own image.
    if (autoupdateflag)
        return;
    if (upgradeState == Connected)
        checkForOnlineUpdate();
}

// ---- upgrade ----

void upgrade_dialog::on_pushButton_4_clicked()
{
    if (upgradeState != Connected) {
        QMessageBox::warning(this, tr("Warning"), tr("Please connect the device first."));
        return;
    }
    if (firmwareData.isEmpty()) {
        QMessageBox::warning(this, tr("No File"), tr("Please select a firmware file first."));
        return;
    }
    if (!verifyFirmware(firmwareData, QString())) {
        QMessageBox::critical(this, tr("Validation Failed"),
                              tr("Firmware validation failed. Cannot proceed."));
        return;
    }
    failureHandled = false;
    deviceRemoved = false;
    onlineFirmwareLoaded = false;
    appendLog(tr("Starting manual upgrade..."));
    ui->pushButton_4->setEnabled(false);
    startErase();
}

void upgrade_dialog::startErase()
{
    if (!port->isOpen())
        return;
    port->write(eraseCommand);
    port->flush();
    eraseTimer->start(m_timings.eraseTimeoutMs);
    setUpgradeState(Erasing);
}

void upgrade_dialog::rec_erase_flag(bool flag)
{
    // Connected twice (by the dialog and the main window): the second call
    // finds the state moved on.
    if (!flag || upgradeState != Erasing)
        return;
    eraseTimer->stop();
    appendLog(tr("Erase completed."));
    setUpgradeState(Sending);
}

void upgrade_dialog::sendNextChunk()
{
    if (!port || !port->isOpen() || deviceRemoved) {
        setUpgradeState(FinishedFailed);
        appendLog(QStringLiteral("<font color=\"red\">%1</font>")
                      .arg(tr("Error: Connection lost during sending!")));
        return;
    }
    const qint64 size = firmwareData.size();
    if (bytesSent >= size) {
        setUpgradeState(FinishedSuccess);
        return;
    }
    if (currentBlock.isEmpty())
        return;

    const qint64 written = port->write(currentBlock);
    port->flush();
    if (written != blockLength) {
        setUpgradeState(FinishedFailed);
        appendLog(QStringLiteral("<font color=\"red\">%1</font>")
                      .arg(tr("Error: Failed to send data block!")));
        return;
    }
    bytesSent += blockLength;
    int progress = int(double(bytesSent) / double(size) * 100.0 + 0.5);
    if (progress >= 100)
        progress = 99; // 100 only once the device had time to write the last block
    ui->progressBar->setValue(progress);
    blockLength = int(qMin<qint64>(size - bytesSent, blockSize));
    currentBlock = firmwareData.mid(int(bytesSent), blockLength);
    scheduleBlock();
}

void upgrade_dialog::scheduleBlock()
{
    // A timer's wait is rounded up to whole milliseconds, which would add
    // about half a millisecond to every block (half a second to a 64 KiB
    // image). Wake a millisecond early and let the event loop run out the
    // rest of the interval; a block never follows sooner than the interval.
    blockClock.start();
    const int run = transferRun;
    const int early = qMax(0, m_timings.blockIntervalMs - 1);
    QTimer::singleShot(early, Qt::PreciseTimer, this, [this, run] { awaitBlockDue(run); });
}

void upgrade_dialog::awaitBlockDue(int run)
{
    if (run != transferRun)
        return;
    if (blockClock.nsecsElapsed() < qint64(m_timings.blockIntervalMs) * 1000000) {
        QTimer::singleShot(0, this, [this, run] { awaitBlockDue(run); });
        return;
    }
    sendNextChunk();
}

void upgrade_dialog::finishSuccessfully()
{
    const int run = transferRun;
    QTimer::singleShot(m_timings.finalizeMs, Qt::PreciseTimer, this, [this, run] {
        if (run != transferRun)
            return;
        ui->progressBar->setValue(100);
        QTimer::singleShot(m_timings.successStepMs, Qt::PreciseTimer, this, [this, run] {
            if (run != transferRun)
                return;
            QMessageBox::information(this, tr("Upgrade"),
                                     tr("Upgrade successful, please power on the device again."));
            discardImage();
            setUpgradeState(Idle);
            hide();
            autoupdateflag = false;
        });
    });
}

// ---- state machine ----

void upgrade_dialog::setUpgradeState(int state)
{
    if (state == upgradeState)
        return;
    upgradeState = state;
    qCDebug(lcUpgrade) << "Upgrade state changed to:" << state;

    switch (state) {
    case Idle:
        ui->pushButton->setEnabled(true);
        ui->pushButton->setText(tr("Connect"));
        ui->comboBox->setEnabled(true);
        ui->progressBar->setValue(0);
        break;
    case Connected:
        ui->pushButton->setText(tr("Disconnect"));
        ui->comboBox->setEnabled(false);
        appendLog(tr("Connected. Requesting device info..."));
        break;
    case Erasing:
        ui->pushButton->setEnabled(false);
        ui->comboBox->setEnabled(false);
        appendLog(tr("Erasing flash, please wait..."));
        ui->progressBar->setValue(0);
        break;
    case Sending:
        ui->pushButton->setEnabled(false);
        ui->comboBox->setEnabled(false);
        appendLog(tr("Sending firmware..."));
        if (firmwareData.isEmpty()) {
            qCDebug(lcUpgrade) << "No firmware to send";
            setUpgradeState(Idle);
            break;
        }
        if (!verifyFirmware(firmwareData, QString())) {
            appendLog(QStringLiteral("<font color=\"red\">%1</font>")
                          .arg(tr("Firmware validation failed!")));
            setUpgradeState(FinishedFailed);
            break;
        }
        bytesSent = 0;
        blockLength = int(qMin<qint64>(firmwareData.size(), blockSize));
        currentBlock = firmwareData.left(blockLength);
        sendNextChunk();
        break;
    case FinishedSuccess:
        if (ui->progressBar->value() < 99)
            ui->progressBar->setValue(99);
        appendLog(tr("Finalizing, please wait..."));
        finishSuccessfully();
        break;
    case FinishedFailed:
        if (failureHandled)
            break; // an earlier failure of this attempt did the clean-up
        failureHandled = true;
        discardImage();
        setUpgradeState(Idle);
        postFailureBox();
        break;
    default:
        break;
    }
}

void upgrade_dialog::postFailureBox()
{
    QTimer::singleShot(0, this, [this] {
        boxes.post([this] {
            QMessageBox::critical(this, tr("Upgrade Failed"),
                                  tr("Upgrade failed. Please check connection and try again."));
        });
    });
}

// ---- closing ----

void upgrade_dialog::discardImage()
{
    if (eraseTimer->isActive())
        eraseTimer->stop();
    firmwareData.clear();
    bytesSent = 0;
    onlineFirmwareLoaded = false;
}

void upgrade_dialog::abandonTransfer()
{
    ++transferRun;
    discardImage();
    setUpgradeState(Idle);
}

void upgrade_dialog::closeEvent(QCloseEvent *event)
{
    abandonTransfer();
    hide();
    QDialog::closeEvent(event);
}

void upgrade_dialog::reject()
{
    abandonTransfer();
    QDialog::reject();
}

// ---- failures ----

void upgrade_dialog::onEraseTimeout()
{
    if (upgradeState != Erasing)
        return;
    appendLog(QStringLiteral("<font color=\"red\">%1</font>")
                  .arg(tr("Erase timeout! Device not responding.")));
    setUpgradeState(FinishedFailed);
}

/// A tty whose device is gone reports ResourceError on most drivers and
/// ReadError on others (a hung-up pseudo-terminal among them).
static bool meansDeviceGone(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
}

void upgrade_dialog::handleSerialError(QSerialPort::SerialPortError)
{
    if (!meansDeviceGone(port->error()) || !port->isOpen())
        return;
    port->close();
    ui->pushButton->setEnabled(true);
    ui->pushButton->setText(tr("Connect"));
    ui->comboBox->setEnabled(true);
}

void upgrade_dialog::onLinkFatalError(QSerialPort::SerialPortError error)
{
    const bool fatal = error == QSerialPort::DeviceNotFoundError || meansDeviceGone(error)
                       || error == QSerialPort::NotOpenError;
    if (!fatal || (upgradeState != Erasing && upgradeState != Sending) || failureHandled)
        return;
    deviceRemoved = true;
    setUpgradeState(FinishedFailed);
    appendLog(QStringLiteral("<font color=\"red\"><b>%1</b></font>")
                  .arg(tr("CRITICAL: Communication lost!")));
}

void upgrade_dialog::onPortDisconnected(QString portName)
{
    // Only the device being upgraded counts: the port of a controller that
    // has just restarted into its upgrade mode goes away meanwhile too.
    if (portName != openedPortName)
        return;
    if ((upgradeState != Erasing && upgradeState != Sending) || deviceRemoved || failureHandled)
        return;
    deviceRemoved = true;
    ui->pushButton->setText(QStringLiteral("Connect"));
    setUpgradeState(FinishedFailed);
    appendLog(QStringLiteral("<font color=\"red\"><b>%1</b></font>")
                  .arg(tr("CRITICAL: Device removed!")));
    appendLog(QStringLiteral("<font color=\"red\">%1</font>").arg(tr("Upgrade aborted immediately.")));
    // Behind the failure box queued by the failed state: the user reads the
    // short notice first and this one when it is closed.
    QTimer::singleShot(0, this, [this] {
        boxes.post([this] {
            QMessageBox box(QMessageBox::Critical, tr("Upgrade Failed - Device Disconnected"),
                            tr(removedText), QMessageBox::Ok, this);
            box.setTextFormat(Qt::RichText);
            box.exec();
        });
    });
}

void upgrade_dialog::onPortReconnected(QString portName)
{
    if (upgradeState != FinishedFailed || !deviceRemoved || portName != openedPortName)
        return;
    appendLog(QStringLiteral("<font color=\"green\">%1</font>")
                  .arg(tr("Device reconnected: %1").arg(portName)));
    appendLog(tr("You can now try the upgrade again."));
}
