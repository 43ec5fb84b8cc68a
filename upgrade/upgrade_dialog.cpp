// The upgrade dialog's engine: the device list, connecting, the state
// machine, the erase and the paced block transfer, and the failure paths.
#include "upgrade/upgrade_dialog.h"
#include "ui_upgrade_dialog.h"

#include "core/logging.h"
#include "device/identity.h"
#include "device/serialport.h"
#include "upgrade/firmwareimage.h"
#include "upgrade/upgradeports.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QNetworkReply>
#include <QPushButton>
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

QString red(const QString &text)
{
    return QStringLiteral("<font color=\"red\">%1</font>").arg(text);
}

} // namespace

upgrade_dialog::upgrade_dialog(QWidget *parent, SerialPort *link)
    : QDialog(parent), ui(new Ui::upgrade_dialog), port(link)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    connect(port, &SerialPort::send_vesion, this, &upgrade_dialog::rec_version);
    connect(port, &SerialPort::send_MTD, this, &upgrade_dialog::rec_mtd);
    connect(port, &SerialPort::send_erase, this, &upgrade_dialog::rec_erase_flag);
    connect(port, &QSerialPort::errorOccurred, this, &upgrade_dialog::handleSerialError);
    ui->progressBar->setValue(0);
    ui->pushButton->setText(tr("Connect"));
    setWindowTitle(tr("Firmware Upgrade"));
    ui->textBrowser_2->setText(tr("Please refer to the product manual to put the device into "
                                  "firmware upgrade mode before connecting."));
    // Refreshed for the whole run, hidden or not.
    refreshTimer = new QTimer(this);
    connect(refreshTimer, &QTimer::timeout, this, &upgrade_dialog::refreshDeviceList);
    refreshTimer->start(m_timings.refreshIntervalMs);
    connect(port, &SerialPort::portDisconnected, this, &upgrade_dialog::onPortDisconnected);
    connect(port, &SerialPort::portReconnected, this, &upgrade_dialog::onPortReconnected);
    connect(port, &QSerialPort::errorOccurred, this, &upgrade_dialog::onLinkFatalError);
    eraseTimer = new QTimer(this);
    eraseTimer->setSingleShot(true);
    connect(eraseTimer, &QTimer::timeout, this, &upgrade_dialog::onEraseTimeout);

    identityTimer = new QTimer(this);
    identityTimer->setSingleShot(true);
    connect(identityTimer, &QTimer::timeout, this, &upgrade_dialog::onIdentityTimeout);

    // Who holds the link, beside the buttons.
    linkHolderLabel = new QLabel(this);
    linkHolderLabel->setObjectName(QStringLiteral("linkHolderLabel"));
    ui->horizontalLayout->insertWidget(3, linkHolderLabel);
    connect(port, &SerialPort::holderChanged, this, &upgrade_dialog::onHolderChanged);
    onHolderChanged(port->holder());

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

void upgrade_dialog::clearLog()
{
    ui->textBrowser->clear();
}

bool upgrade_dialog::isBusy() const
{
    return downloadingImage || upgradeState == Erasing || upgradeState == Sending;
}

void upgrade_dialog::forgetDevice()
{
    productModel.clear();
    currentFirmware.clear();
    firmwareData.clear();
    // Entering the sending state makes the counts valid again.
    bytesSent = -1;
    blockLength = -1;
}

void upgrade_dialog::onHolderChanged(SerialPort::Holder holder)
{
    switch (holder) {
    case SerialPort::Holder::Nobody:
        linkHolderLabel->setText(tr("Serial link: free"));
        break;
    case SerialPort::Holder::MainWindow:
        linkHolderLabel->setText(tr("Serial link: in use by the main window (Connect takes it over)"));
        break;
    case SerialPort::Holder::FirmwareUpgrade:
        linkHolderLabel->setText(tr("Serial link: in use by the firmware upgrade"));
        break;
    }
}

/// Which controls may start something: none while an upgrade runs.
void upgrade_dialog::applyControls()
{
    const bool busy = isBusy() || upgradeState == FinishedSuccess;
    ui->pushButton->setEnabled(!busy);
    ui->comboBox->setEnabled(!busy && !(port->isOpen() && upgradeState == Connected));
    ui->pushButton_3->setEnabled(!busy);
    ui->pushButton_4->setEnabled(!busy && upgradeArmed);
}

// ---- device list ----

void upgrade_dialog::refreshDeviceList()
{
    QMap<QString, QString> before;
    for (int i = 0; i < ui->comboBox->count(); ++i)
        before.insert(ui->comboBox->itemText(i), ui->comboBox->itemData(i).toString());
    const QString previous =
        ui->comboBox->currentIndex() >= 0 ? ui->comboBox->currentData().toString() : QString();

    QMap<QString, QString> now;
    QMap<QString, QStringList> portsByName;
    const QList<UpgradePort> ports = presentUpgradePorts();
    for (const UpgradePort &p : ports) {
        now.insert(p.name, p.portName);
        portsByName[p.name].append(p.portName);
    }
    const auto notePorts = [this, &portsByName] {
        for (int i = 0; i < ui->comboBox->count(); ++i)
            ui->comboBox->setItemData(i, portsByName.value(ui->comboBox->itemText(i)), allPortsRole);
    };
    notePorts();
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
    notePorts();

    const int count = ports.size();
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
    if (port->isOpen() && port->holder() == SerialPort::Holder::FirmwareUpgrade) {
        releaseLink();
        setUpgradeState(Idle);
        applyControls();
        return;
    }
    if (ui->comboBox->count() == 0) {
        QMessageBox::warning(this, tr("No Device"),
                             tr("No upgrade device detected. Please check connection and mode."));
        return;
    }
    const QString name = chosenPort();
    if (name.isNull())
        return; // the user chose none of several
    connectTo(name);
}

QString upgrade_dialog::chosenPort()
{
    const QString item = ui->comboBox->currentData(Qt::UserRole).toString();
    const QStringList ports = ui->comboBox->currentData(allPortsRole).toStringList();
    if (ports.size() < 2)
        return item;
    QMessageBox box(QMessageBox::Question, tr("Choose Device"),
                    tr("%1 upgrade devices are named \"%2\". Which port do you want to connect?")
                        .arg(ports.size())
                        .arg(ui->comboBox->currentText()),
                    QMessageBox::NoButton, this);
    QList<QAbstractButton *> buttons;
    for (const QString &p : ports)
        buttons.append(box.addButton(p, QMessageBox::AcceptRole));
    box.addButton(QMessageBox::Cancel);
    box.exec();
    const int chosen = buttons.indexOf(box.clickedButton());
    return chosen >= 0 ? ports.at(chosen) : QString();
}

bool upgrade_dialog::connectTo(const QString &name)
{
    // One press takes the link over from the main window.
    if (port->isOpen())
        port->close();
    openedPortName = name;
    if (!port->openPort(name, 115200)) {
        QMessageBox::warning(this, tr("Error"), tr("Failed to open port: %1").arg(port->errorString()));
        return false;
    }
    port->setHolder(SerialPort::Holder::FirmwareUpgrade);
    port->forwardIdentity = true;
    productModel.clear();
    currentFirmware.clear();
    port->upgradeWrite(Identity::identityQuery());
    port->flush();
    setUpgradeState(Connected);
    identityTimer->start(m_timings.identityTimeoutMs);
    applyControls();
    return true;
}

void upgrade_dialog::releaseLink()
{
    identityTimer->stop();
    startPending = false;
    if (port->holder() != SerialPort::Holder::FirmwareUpgrade)
        return;
    port->close();
    port->forwardIdentity = false;
}

void upgrade_dialog::onIdentityTimeout()
{
    if (upgradeState != Connected || !currentFirmware.isEmpty())
        return;
    appendLog(red(tr("Error: The device did not answer.")));
    releaseLink();
    setUpgradeState(Idle);
    applyControls();
    postBox(QMessageBox::Critical, tr("No Answer"),
            tr("The device did not answer. Check that it is in firmware upgrade mode."));
}

bool upgrade_dialog::startUpgrade(const QByteArray &image, const QString &portName)
{
    if (isBusy())
        return false;
    const QString problem = FirmwareImage::sizeProblem(image.size());
    if (!problem.isEmpty()) {
        appendLog(red(problem));
        return false;
    }
    autoupdateflag = true;
    const int item = ui->comboBox->findData(portName, Qt::UserRole,
                                            Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (item >= 0)
        ui->comboBox->setCurrentIndex(item);
    const bool connected = upgradeState == Connected && port->isOpen()
                           && port->holder() == SerialPort::Holder::FirmwareUpgrade
                           && openedPortName == portName;
    if (!connected && !connectTo(portName))
        return false;
    firmwareData = image;
    loadedFile.clear();
    verifyFirmware(firmwareData, QString());
    startOnceIdentified();
    return true;
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
    if (upgradeState == Connected)
        identityTimer->stop();
    if (startPending && upgradeState == Connected) {
        startPending = false;
        beginUpgrade();
        return;
    }
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
    const QString other = FirmwareImage::otherModelNamed(QFileInfo(loadedFile).fileName(),
                                                         productModel);
    if (!other.isEmpty()) {
        const QString device = FirmwareImage::modelNamedIn(productModel);
        const auto answer = QMessageBox::question(
            this, tr("Firmware Model"),
            tr("This file looks like firmware for %1. Flash it to %2 anyway?").arg(other, device),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        // The question's event loop may have seen the device go.
        if (answer != QMessageBox::Yes || upgradeState != Connected || firmwareData.isEmpty())
            return;
    }
    startOnceIdentified();
}

void upgrade_dialog::startOnceIdentified()
{
    // The link answers the device's model reply with the version query; once
    // erased, the device would take that for image bytes.
    if (currentFirmware.isEmpty()) {
        startPending = true;
        upgradeArmed = false;
        applyControls();
        return;
    }
    startPending = false;
    beginUpgrade();
}

void upgrade_dialog::beginUpgrade()
{
    const QString problem = FirmwareImage::sizeProblem(firmwareData.size());
    if (!problem.isEmpty()) {
        refuseImage(problem);
        return;
    }
    failureHandled = false;
    deviceRemoved = false;
    onlineFirmwareLoaded = false;
    appendLog(tr("Starting manual upgrade..."));
    upgradeArmed = false;
    ui->pushButton_4->setEnabled(false);
    startErase();
}

void upgrade_dialog::startErase()
{
    if (!port->isOpen())
        return;
    port->upgradeWrite(eraseCommand);
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

    const qint64 written = port->upgradeWrite(currentBlock);
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
            releaseLink();
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
    if (state != Connected)
        identityTimer->stop();

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
        // The attempt is over: the device is left alone until the user connects again.
        releaseLink();
        setUpgradeState(Idle);
        postFailureBox();
        break;
    default:
        break;
    }
    applyControls();
    // Read after the entry action: a nested change has been announced already.
    if (upgradeState == state)
        emit upgradeStateChanged(state);
}

void upgrade_dialog::postFailureBox()
{
    postBox(QMessageBox::Critical, tr("Upgrade Failed"),
            tr("Upgrade failed. Please check connection and try again."));
}

void upgrade_dialog::postBox(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QTimer::singleShot(0, this, [this, icon, title, text] {
        boxes.post([this, icon, title, text] {
            QMessageBox box(icon, title, text, QMessageBox::Ok, this);
            box.exec();
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
    abortDownloads();
    discardImage();
    releaseLink();
    setUpgradeState(Idle);
    applyControls();
}

void upgrade_dialog::closeEvent(QCloseEvent *event)
{
    if (isBusy()) {
        // Everything goes on while the question is open; No leaves it so.
        // Yes stops it at the click, before the box's event loop runs
        // another block step.
        QMessageBox box(QMessageBox::Question, tr("Firmware Upgrade"),
                        tr("A firmware upgrade is in progress. Stop it?"),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        bool stopped = false;
        connect(&box, &QMessageBox::buttonClicked, this, [this, &box, &stopped](QAbstractButton *b) {
            if (box.standardButton(b) != QMessageBox::Yes || stopped)
                return;
            stopped = true;
            abandonTransfer();
            appendLog(red(tr("Upgrade stopped by the user.")));
        });
        box.exec();
        if (!stopped) {
            event->ignore();
            return;
        }
    }
    abandonTransfer();
    hide();
    QDialog::closeEvent(event);
}

void upgrade_dialog::reject()
{
    close();
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
    ui->pushButton_3->setEnabled(true);
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
