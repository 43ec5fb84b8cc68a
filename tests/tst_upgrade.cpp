// The firmware upgrade dialog against a simulated controller in its upgrade
// mode over a pseudo-terminal, and a local download server.
#include "app/widget.h"
#include "device/serialport.h"
#include "sim/controllerbehaviour.h"
#include "sim/pseudorandombytes.h"
#include "upgrade/firmwareimage.h"
#include "support/controllerrig.h"
#include "support/upgraderig.h"
#include "ui_upgrade_dialog.h"
#include "ui_widget.h"
#include "update/downloadserver.h"

#include <QAction>
#include <QLabel>
#include <QCryptographicHash>
#include <QMenuBar>
#include <QtTest>

namespace {

const QString kGeneric = "Upgrade failed. Please check connection and try again.";
const QString kTextPath = "download/Product/ZT-3/Update/ZT-3_Update.txt";

/// Bytes that hold everything a framer could trip over: F0, F7, AA CC, CR LF.
QByteArray image(int size, quint32 seed = 7)
{
    QByteArray bytes = pseudoRandomBytes(size, seed);
    if (size >= 4)
        bytes.replace(0, 4, QByteArray::fromHex("F0AACC0D"));
    return bytes;
}

QByteArray md5(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

QStringList titles(const ModalWatcher &boxes)
{
    QStringList out;
    for (const ModalWatcher::Seen &s : boxes.seen())
        out.append(s.title);
    return out;
}

/// Index of the first write after the erase command: the first image block.
int firstBlockWrite(const RecordingLink &link)
{
    for (int i = 0; i < link.writes.size(); ++i) {
        if (link.writes.at(i).size == 7 && i + 1 < link.writes.size()
            && link.writes.at(i + 1).size != 7)
            return i + 1;
    }
    return -1;
}

} // namespace

class tst_Upgrade : public QObject
{
    Q_OBJECT

private slots:
    void transfer_arrivesByteForByte_data();
    void transfer_arrivesByteForByte();
    void eraseTimeout_failsToIdle();
    void deviceRemoved_bothBoxesThenReconnected();
    void deviceVanishes_communicationLost();
    void shortWrite_failsTheUpgrade();
    void refused_data();
    void refused();
    void close_duringUpgrade_data();
    void close_duringUpgrade();
    void connect_whileLinkOpen_takesItOver();
    void mute_bootloader_failsAfterTimeout();
    void upgrade_pressedBeforeIdentity_waitsForIt();
    void connect_portGone_saysSo();

    void deviceList_data();
    void deviceList();
    void deviceList_changesLogOnceAndKeepSelection();
    void deviceList_sameName_userChoosesEitherPort();

    void online_versions_data();
    void online_versions();
    void online_accepted_upgradesWithDownloadedImage();
    void online_imageFails_data();
    void online_imageFails();
    void online_textUnreachable_staysConnected();
    void online_imageRefused_data();
    void online_imageRefused();
    void otherModelFile_flashedWhenConfirmed();

    void window_menuEntryAndEraseAcknowledgedOnce();
    void window_dialogHoldsLink_windowReachesNothing();
};

void tst_Upgrade::transfer_arrivesByteForByte_data()
{
    QTest::addColumn<int>("size");
    for (int size : {64, 65, 128, 10000})
        QTest::addRow("%d bytes", size) << size;
}

void tst_Upgrade::transfer_arrivesByteForByte()
{
    QFETCH(int, size);
    UpgradeRig rig;
    rig.dialog.show();
    QVERIFY(rig.connect());
    struct Step {
        int value;
        int writes;
        qint64 ms;
    };
    QList<Step> progress;
    connect(rig.dialog.ui->progressBar, &QProgressBar::valueChanged, this, [&](int value) {
        progress.append({value, int(rig.link.writes.size()), rig.link.clock.elapsed()});
    });
    const QByteArray bytes = image(size);
    QVERIFY(rig.upgradeWith(bytes));

    QCOMPARE(md5(rig.device.receivedImage()), md5(bytes));
    const int first = firstBlockWrite(rig.link);
    QVERIFY(first > 0);
    const int blocks = (size + 63) / 64;
    QCOMPARE(rig.link.writes.size() - first, blocks);
    QCOMPARE(rig.link.writesOfSize(64, first), size / 64);
    QCOMPARE(rig.link.writes.last().size, qint64(size % 64 ? size % 64 : 64));

    // 100 only after the last block, and only after the finalizing wait.
    const qint64 lastBlockMs = rig.link.writes.last().ms;
    int hundreds = 0;
    for (const Step &s : qAsConst(progress)) {
        if (s.value == 100) {
            ++hundreds;
            QCOMPARE(s.writes, first + blocks);
            QVERIFY(s.ms - lastBlockMs >= rig.dialog.timings().finalizeMs - 1);
        }
    }
    QCOMPARE(hundreds, 1);

    QCOMPARE(titles(rig.boxes), QStringList{"Upgrade"});
    QCOMPARE(rig.boxes.texts(), QStringList{"Upgrade successful, please power on the device again."});
    QCOMPARE(rig.state(), int(upgrade_dialog::Idle));
    QVERIFY(!rig.dialog.isVisible());
    QVERIFY(rig.dialog.image().isEmpty());
    // The upgrade over, the device is let go.
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(rig.link.holder(), SerialPort::Holder::Nobody);
    QVERIFY(!rig.dialog.ui->pushButton_4->isEnabled());

    const QString log = rig.log();
    int at = 0;
    const QString digest = QString::fromLatin1(md5(bytes));
    for (const QString &line : QStringList{"Product Model: ZT-3", "Current Firmware: V1.2.0",
                                "Firmware MD5: " + digest, "Starting manual upgrade...",
                                "Erasing flash, please wait...", "Erase completed.",
                                "Sending firmware...", "Firmware MD5: " + digest,
                                "Finalizing, please wait..."}) {
        at = log.indexOf(line, at);
        QVERIFY2(at >= 0, qPrintable(line));
        at += line.size();
    }
}

void tst_Upgrade::eraseTimeout_failsToIdle()
{
    UpgradeRig rig;
    rig.device.setEraseDelay(-1);
    QVERIFY(rig.connect());
    QVERIFY(rig.upgradeWith(image(300)));
    QCOMPARE(rig.boxes.texts(), QStringList{kGeneric});
    QCOMPARE(titles(rig.boxes), QStringList{"Upgrade Failed"});
    QVERIFY(rig.dialog.ui->textBrowser->toHtml().contains("Erase timeout! Device not responding."));
    QCOMPARE(rig.state(), int(upgrade_dialog::Idle));
    QVERIFY(rig.device.receivedImage().isEmpty());
    QCOMPARE(rig.device.commandsOf(ControllerCommand::Erase).size(), 1);
}

void tst_Upgrade::deviceRemoved_bothBoxesThenReconnected()
{
    UpgradeRig rig;
    QVERIFY(rig.connect());
    QVERIFY(rig.onlineCheckDone());
    rig.link.updatePortStatus(); // the poll knows the port
    QVERIFY(rig.loadImage(image(64 * 200)));
    rig.dialog.ui->pushButton_4->click();
    QTRY_VERIFY(rig.device.receivedImage().size() >= 640);

    // Another port going away (a controller restarting into its upgrade mode) is no removal.
    emit rig.link.portDisconnected("/dev/ttyOTHER");
    QVERIFY(!rig.log().contains("CRITICAL"));
    QCOMPARE(rig.state(), int(upgrade_dialog::Sending));

    // The poll finds the port gone before the link has noticed anything.
    const QString portName = rig.device.portName();
    rig.source.removeController(&rig.device);
    rig.link.updatePortStatus();
    QTRY_COMPARE(rig.boxes.seen().size(), 2);
    QCOMPARE(titles(rig.boxes),
             (QStringList{"Upgrade Failed", "Upgrade Failed - Device Disconnected"}));
    QCOMPARE(rig.boxes.seen().at(1).text,
             QString("The device was physically removed during firmware upgrade.\n\n"
                     "\u2022 Flash may be partially erased.\n"
                     "\u2022 The device may not boot normally.\n\n"
                     "<b>Please do the following:</b>\n1. Reconnect the USB cable.\n"
                     "2. Put the device back into firmware upgrade mode.\n"
                     "3. Try upgrading again.\n\n"
                     "If the device no longer enters upgrade mode, please contact technical "
                     "support."));
    QCOMPARE(rig.boxes.seen().at(1).icon, QMessageBox::Critical);
    QTRY_VERIFY(rig.log().contains("Error: Connection lost during sending!"));
    QVERIFY(rig.log().contains("CRITICAL: Device removed!\nUpgrade aborted immediately."));
    QCOMPARE(rig.state(), int(upgrade_dialog::FinishedFailed));
    QCOMPARE(rig.dialog.ui->pushButton->text(), QString("Connect"));
    QVERIFY(rig.device.receivedImage().size() < 64 * 200);

    rig.source.addController(&rig.device);
    rig.link.updatePortStatus();
    QVERIFY(rig.log().endsWith("Device reconnected: " + portName
                               + "\nYou can now try the upgrade again."));
    QCOMPARE(rig.boxes.seen().size(), 2);
}

void tst_Upgrade::deviceVanishes_communicationLost()
{
    UpgradeRig rig;
    QVERIFY(rig.connect());
    rig.device.vanishAfterImageBytes(640);
    QVERIFY(rig.upgradeWith(image(64 * 200)));
    QCOMPARE(rig.boxes.texts(), QStringList{kGeneric});
    QTRY_VERIFY(rig.log().contains("Error: Connection lost during sending!"));
    QVERIFY(rig.log().contains("CRITICAL: Communication lost!"));
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.dialog.ui->pushButton->isEnabled());
    QVERIFY(rig.dialog.ui->comboBox->isEnabled());
}

void tst_Upgrade::shortWrite_failsTheUpgrade()
{
    UpgradeRig rig;
    QVERIFY(rig.connect());
    QVERIFY(rig.onlineCheckDone());
    QVERIFY(rig.loadImage(image(640)));
    rig.link.shortenWrite(3, 20); // erase command, block 1, then block 2
    rig.dialog.ui->pushButton_4->click();
    QTRY_COMPARE(rig.boxes.texts(), QStringList{kGeneric});
    QVERIFY(rig.log().endsWith("Error: Failed to send data block!"));
    QCOMPARE(rig.state(), int(upgrade_dialog::Idle));
    QTRY_COMPARE(rig.device.receivedImage().size(), 64 + 20);
    QTest::qWait(50); // nothing more follows
    QCOMPARE(rig.device.receivedImage().size(), 64 + 20);
}

void tst_Upgrade::refused_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("upgrade unconnected") << "upgrade" << "Warning" << "Please connect the device first.";
    QTest::newRow("upgrade without file") << "connect upgrade" << "No File"
                                          << "Please select a firmware file first.";
    QTest::newRow("empty file") << "connect empty" << "Firmware Refused"
                                << "The firmware image is empty.";
    QTest::newRow("file over 1 MiB") << "connect oversized" << "Firmware Refused"
                                     << "The firmware image has 1048577 bytes; a firmware image "
                                        "has at most 1048576 bytes (1 MiB).";
    QTest::newRow("file of another model, not flashed")
        << "connect no othermodel upgrade" << "Firmware Model"
        << "This file looks like firmware for QRX-10. Flash it to ZT-3 anyway?";
    QTest::newRow("open unconnected") << "open" << "Warning" << "Please connect the device first.";
    QTest::newRow("open unreadable file") << "connect missing" << "Error" << "Cannot open file.";
    QTest::newRow("connect without device") << "unplug press" << "No Device"
                                            << "No upgrade device detected. Please check connection and mode.";
}

void tst_Upgrade::refused()
{
    QFETCH(QString, action);
    QFETCH(QString, title);
    QFETCH(QString, text);
    UpgradeRig rig;
    for (const QString &step : action.split(' ')) {
        if (step == "press")
            rig.dialog.ui->pushButton->click();
        else if (step == "connect")
            QVERIFY(rig.connect());
        else if (step == "upgrade")
            rig.dialog.ui->pushButton_4->click();
        else if (step == "empty")
            QVERIFY(!rig.loadImage(QByteArray()) || rig.dialog.image().isEmpty());
        else if (step == "oversized")
            QVERIFY(!rig.loadImage(QByteArray(1024 * 1024 + 1, 'x')));
        else if (step == "othermodel")
            QVERIFY(rig.loadImage(image(640), "qrx-10_V1.4.0.bin"));
        else if (step == "no")
            rig.boxes.setAnswer(QMessageBox::No);
        else if (step == "open")
            rig.dialog.ui->pushButton_3->click();
        else if (step == "missing") {
            rig.files.answerWith({rig.dir.filePath("absent.bin")});
            rig.dialog.ui->pushButton_3->click();
        } else if (step == "unplug") {
            rig.source.removeController(&rig.device);
            rig.dialog.refreshDeviceList();
        }
    }
    QTRY_VERIFY(!rig.boxes.seen().isEmpty());
    QCOMPARE(rig.boxes.texts(), QStringList{text});
    QCOMPARE(titles(rig.boxes), QStringList{title});
    QVERIFY(rig.device.commandsOf(ControllerCommand::Erase).isEmpty());
    QVERIFY(rig.state() == upgrade_dialog::Idle || rig.state() == upgrade_dialog::Connected);
}

void tst_Upgrade::close_duringUpgrade_data()
{
    QTest::addColumn<QString>("phase");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("stop");
    QTest::newRow("download, Close button, stopped") << "download" << "button" << true;
    QTest::newRow("download, Escape, kept") << "download" << "escape" << false;
    QTest::newRow("erase, title bar, stopped") << "erase" << "close" << true;
    QTest::newRow("erase, Close button, kept") << "erase" << "button" << false;
    QTest::newRow("sending, Escape, stopped") << "sending" << "escape" << true;
    QTest::newRow("sending, title bar, kept") << "sending" << "close" << false;
}

void tst_Upgrade::close_duringUpgrade()
{
    QFETCH(QString, phase);
    QFETCH(QString, how);
    QFETCH(bool, stop);
    UpgradeRig rig;
    const QByteArray bytes = image(phase == "download" ? 20000 : 64 * 60, 11);
    const QString imagePath = "download/Product/ZT-3/Update/ZT-3_V1.3.0.bin";
    rig.device.setEraseDelay(phase == "erase" ? 100 : 10);
    rig.dialog.show();
    if (phase == "download") {
        rig.server.serve(kTextPath, "ZT-3_V1.3.0");
        rig.server.serve(imagePath, bytes);
        rig.server.setThrottle(1000, 15);
        QVERIFY(rig.connect());
        QTRY_VERIFY(rig.log().contains("Download progress:"));
    } else {
        QVERIFY(rig.connect());
        QVERIFY(rig.onlineCheckDone());
        QVERIFY(rig.loadImage(bytes));
        rig.dialog.ui->pushButton_4->click();
        if (phase == "erase")
            QTRY_COMPARE(rig.device.commandsOf(ControllerCommand::Erase).size(), 1);
        else
            QTRY_VERIFY(rig.device.receivedImage().size() >= 640);
    }
    QVERIFY(rig.dialog.isBusy());
    // Nothing that starts a second operation can be pressed meanwhile.
    for (QWidget *w : QList<QWidget *>{rig.dialog.ui->pushButton, rig.dialog.ui->pushButton_3,
                                       rig.dialog.ui->pushButton_4, rig.dialog.ui->comboBox})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));

    int writesAtAnswer = -1;
    rig.boxes.setAnswer(stop ? QMessageBox::Yes : QMessageBox::No);
    rig.boxes.setInspector([&](QMessageBox *box) {
        if (box->text().startsWith("A firmware upgrade"))
            writesAtAnswer = rig.link.writes.size();
    });
    const int boxesBefore = rig.boxes.seen().size();
    if (how == "close")
        rig.dialog.close();
    else if (how == "button")
        rig.dialog.ui->pushButton_2->click();
    else
        QTest::keyClick(&rig.dialog, Qt::Key_Escape);
    QCOMPARE(rig.boxes.seen().size(), boxesBefore + 1);
    QCOMPARE(rig.boxes.seen().last().title, QString("Firmware Upgrade"));
    QCOMPARE(rig.boxes.seen().last().text, QString("A firmware upgrade is in progress. Stop it?"));
    QCOMPARE(rig.boxes.seen().last().buttons, QMessageBox::Yes | QMessageBox::No);
    rig.boxes.setInspector({});
    rig.boxes.setAnswer(QMessageBox::Ok);

    if (!stop) {
        QVERIFY(rig.dialog.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(rig.boxes.texts().contains(
                                     "Upgrade successful, please power on the device again."),
                                 10000);
        QCOMPARE(md5(rig.device.receivedImage()), md5(bytes));
        return;
    }
    QVERIFY(!rig.dialog.isVisible());
    QCOMPARE(rig.state(), int(upgrade_dialog::Idle));
    QVERIFY(rig.dialog.image().isEmpty());
    QVERIFY(!rig.link.isOpen());
    // Longer than the rest of the download, the erase or the transfer would take.
    QTest::qWait(phase == "download" ? 600 : 400);
    QCOMPARE(rig.link.writes.size(), writesAtAnswer);
    QVERIFY(rig.boxes.seen().size() == boxesBefore + 1);
    QVERIFY(!rig.log().contains("Finalizing"));
    if (phase == "download") {
        QVERIFY(!rig.log().contains("Downloaded new firmware"));
        QCOMPARE(rig.server.requestCount(imagePath), 1); // aborted, not retried
        QVERIFY(rig.device.commandsOf(ControllerCommand::Erase).isEmpty());
    }
    if (phase == "erase")
        QVERIFY(rig.device.receivedImage().isEmpty());
    QVERIFY(rig.device.receivedImage().size() < bytes.size());
}

void tst_Upgrade::connect_whileLinkOpen_takesItOver()
{
    UpgradeRig rig;
    rig.dialog.refreshDeviceList();
    QVERIFY(rig.link.openPort(rig.device.portName(), 115200));
    rig.link.setHolder(SerialPort::Holder::MainWindow);
    QVERIFY(rig.dialog.findChild<QLabel *>("linkHolderLabel")->text().contains("main window"));
    rig.dialog.ui->pushButton->click(); // once
    QVERIFY(rig.link.isOpen());
    QCOMPARE(rig.link.holder(), SerialPort::Holder::FirmwareUpgrade);
    QVERIFY(rig.link.forwardIdentity);
    QCOMPARE(rig.state(), int(upgrade_dialog::Connected));
    QVERIFY(rig.dialog.findChild<QLabel *>("linkHolderLabel")->text().contains("firmware upgrade"));
    QTRY_VERIFY(rig.log().contains("Current Firmware: V1.2.0"));

    QCOMPARE(rig.dialog.ui->pushButton->text(), QString("Disconnect"));
    QVERIFY(!rig.dialog.ui->comboBox->isEnabled());
    rig.dialog.ui->pushButton->click();
    QVERIFY(!rig.link.isOpen());
    QVERIFY(!rig.link.forwardIdentity);
    QCOMPARE(rig.state(), int(upgrade_dialog::Idle));
    QCOMPARE(rig.dialog.ui->pushButton->text(), QString("Connect"));
    QVERIFY(rig.dialog.ui->comboBox->isEnabled());
}

void tst_Upgrade::mute_bootloader_failsAfterTimeout()
{
    UpgradeRig rig;
    upgrade_dialog::Timings t = UpgradeRig::fastTimings();
    t.identityTimeoutMs = 150;
    rig.dialog.setTimings(t);
    rig.device.setSilent(true);
    rig.dialog.refreshDeviceList();
    rig.dialog.ui->pushButton->click();
    QCOMPARE(rig.state(), int(upgrade_dialog::Connected));
    QTRY_COMPARE(rig.boxes.texts(),
                 QStringList{"The device did not answer. Check that it is in firmware upgrade mode."});
    QCOMPARE(rig.boxes.seen().first().icon, QMessageBox::Critical);
    QCOMPARE(rig.state(), int(upgrade_dialog::Idle));
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.dialog.ui->textBrowser->toHtml().contains("Error: The device did not answer."));
    QCOMPARE(rig.dialog.ui->pushButton->text(), QString("Connect"));

    // A device that answers within the time is kept.
    rig.device.setSilent(false);
    QVERIFY(rig.connect());
    QTest::qWait(t.identityTimeoutMs + 100);
    QCOMPARE(rig.state(), int(upgrade_dialog::Connected));
    QCOMPARE(rig.boxes.seen().size(), 1);
}

void tst_Upgrade::upgrade_pressedBeforeIdentity_waitsForIt()
{
    UpgradeRig rig;
    rig.device.setReplyDelay(120);
    // Every reply is slow here, the erase confirmation too: give it time.
    upgrade_dialog::Timings t = UpgradeRig::fastTimings();
    t.eraseTimeoutMs = 5000;
    rig.dialog.setTimings(t);
    rig.dialog.refreshDeviceList();
    rig.dialog.ui->pushButton->click();
    QVERIFY(rig.loadImage(image(1000, 5)));
    rig.dialog.ui->pushButton_4->click();
    QVERIFY(!rig.log().contains("Product Model"));
    QVERIFY(!rig.dialog.ui->pushButton_4->isEnabled());
    QCOMPARE(rig.state(), int(upgrade_dialog::Connected));
    QVERIFY(rig.device.commandsOf(ControllerCommand::Erase).isEmpty());
    QTRY_COMPARE(rig.boxes.texts(), QStringList{"Upgrade successful, please power on the device again."});
    // The version query that follows the model reply went before the erase.
    QCOMPARE(md5(rig.device.receivedImage()), md5(image(1000, 5)));
    const QString log = rig.log();
    QVERIFY(log.indexOf("Current Firmware: V1.2.0") < log.indexOf("Starting manual upgrade..."));
}

void tst_Upgrade::connect_portGone_saysSo()
{
    UpgradeRig rig;
    rig.dialog.refreshDeviceList();
    rig.device.vanish(); // still listed, but gone
    rig.dialog.ui->pushButton->click();
    QTRY_COMPARE(rig.boxes.seen().size(), 2);
    QCOMPARE(rig.boxes.texts().first(), QString("Device error"));
    QCOMPARE(titles(rig.boxes).last(), QString("Error"));
    QVERIFY(rig.boxes.texts().last().startsWith("Failed to open port: "));
    QVERIFY(rig.boxes.texts().last().size() > QString("Failed to open port: ").size());
    QCOMPARE(rig.state(), int(upgrade_dialog::Idle));
    QVERIFY(!rig.link.isOpen());
}

// ---- device list ----

namespace {

/// "port,vid,pid,manufacturer,description" -> a serial port record.
SerialPortRecord portOf(const QString &text)
{
    const QStringList f = text.split(',');
    return {f.at(0), f.at(1).toInt(nullptr, 16), f.at(2).toInt(nullptr, 16), f.value(4),
            f.value(3), QString(), f.at(0)};
}

/// "vid,pid=description" -> a USB device record.
UsbDeviceRecord usbOf(const QString &text)
{
    const QString ids = text.section('=', 0, 0);
    return {QString("USB\\VID_%1&PID_%2\\X").arg(ids.section(',', 0, 0), ids.section(',', 1, 1)),
            text.section('=', 1)};
}

QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out.append(box->itemText(i) + "=" + box->itemData(i).toString());
    return out;
}

} // namespace

void tst_Upgrade::deviceList_data()
{
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QStringList>("usb");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("count");
    QTest::newRow("USB description names the port")
        << QStringList{"COM7,3A1D,5F03,Veltrano,ZT-3 MIDI"} << QStringList{"3A1D,5F03=ZT-3 Bootloader"}
        << QStringList{"ZT-3 Bootloader=COM7"} << 1;
    QTest::newRow("system words without USB description")
        << QStringList{"COM3,0403,6001,  FTDI ,USB   Serial Port"} << QStringList{}
        << QStringList{"FTDI USB Serial Port (COM3)=COM3"} << 1;
    QTest::newRow("controllers in normal mode are skipped")
        << QStringList{"COM4,3A1D,5203,Veltrano,x", "COM5,1111,2222,Veltrano,Other"}
        << QStringList{"3A1D,5203=Veltrano ZT-3 MIDI"} << QStringList{} << 0;
    QTest::newRow("nameless ports are skipped")
        << QStringList{"COM6,3A1D,5F01,,"} << QStringList{"3A1D,5F01="} << QStringList{} << 0;
    QTest::newRow("same name twice shows once, later port, counted twice")
        << QStringList{"COM8,3A1D,5F03,,", "COM9,3A1D,5F03,,"}
        << QStringList{"3A1D,5F03=ZT-3 Bootloader"} << QStringList{"ZT-3 Bootloader=COM9"} << 2;
    QTest::newRow("sorted by name")
        << QStringList{"COM2,3A1D,5F03,,", "COM1,3A1D,5F10,,"}
        << QStringList{"3A1D,5F03=ZT-3 Bootloader", "3A1D,5F10=QRX-10 Bootloader"}
        << QStringList{"QRX-10 Bootloader=COM1", "ZT-3 Bootloader=COM2"} << 2;
}

void tst_Upgrade::deviceList()
{
    QFETCH(QStringList, ports);
    QFETCH(QStringList, usb);
    QFETCH(QStringList, expected);
    QFETCH(int, count);
    FakeDeviceSource fake;
    ScopedDeviceSource scoped(&fake);
    QComboBox mainList;
    SerialPort link(&mainList, "Veltrano", nullptr);
    upgrade_dialog dialog(nullptr, &link);
    // A device first, so that every row is a change.
    fake.ports = {portOf("COM99,3A1D,5FFF,,")};
    fake.usb = {usbOf("3A1D,5FFF=Old Bootloader")};
    dialog.refreshDeviceList();
    dialog.ui->textBrowser->clear();

    fake.ports.clear();
    fake.usb.clear();
    for (const QString &p : qAsConst(ports))
        fake.ports.append(portOf(p));
    for (const QString &u : qAsConst(usb))
        fake.usb.append(usbOf(u));
    dialog.refreshDeviceList();
    QCOMPARE(items(dialog.ui->comboBox), expected);
    QString log = QString("Device list refreshed: found %1 upgrade device(s).").arg(count);
    if (count == 0)
        log += "\nNo upgrade device detected.\nPlease ensure the device is in firmware upgrade "
               "mode and properly connected.";
    QCOMPARE(dialog.ui->textBrowser->toPlainText(), log);
    QCOMPARE(dialog.ui->comboBox->currentIndex(), expected.isEmpty() ? -1 : 0);
}

void tst_Upgrade::deviceList_changesLogOnceAndKeepSelection()
{
    FakeDeviceSource fake;
    ScopedDeviceSource scoped(&fake);
    QComboBox mainList;
    SerialPort link(&mainList, "Veltrano", nullptr);
    upgrade_dialog dialog(nullptr, &link);
    QTextBrowser *log = dialog.ui->textBrowser;

    fake.ports = {portOf("COM5,3A1D,5F03,,")};
    fake.usb = {usbOf("3A1D,5F03=ZT-3 Bootloader")};
    dialog.refreshDeviceList();
    QCOMPARE(log->toPlainText(), QString("Device list refreshed: found 1 upgrade device(s)."));
    for (int i = 0; i < 3; ++i)
        dialog.refreshDeviceList();
    QCOMPARE(log->document()->blockCount(), 1); // unchanged: nothing logged

    // A device that sorts first: the selection stays on the port chosen.
    fake.ports.append(portOf("COM6,3A1D,5F01,,"));
    fake.usb.append(usbOf("3A1D,5F01=ZT-1 Bootloader"));
    dialog.refreshDeviceList();
    QCOMPARE(items(dialog.ui->comboBox), (QStringList{"ZT-3 Bootloader=COM5", "ZT-1 Bootloader=COM6"}));
    QCOMPARE(dialog.ui->comboBox->currentData().toString(), QString("COM5"));
    QCOMPARE(log->document()->blockCount(), 2);

    // The same name on another port keeps its item as it was.
    fake.ports[0].portName = "COM15";
    dialog.refreshDeviceList();
    QCOMPARE(items(dialog.ui->comboBox), (QStringList{"ZT-3 Bootloader=COM5", "ZT-1 Bootloader=COM6"}));

    fake.ports.clear();
    dialog.refreshDeviceList();
    QCOMPARE(dialog.ui->comboBox->count(), 0);
    QVERIFY(log->toPlainText().endsWith("found 0 upgrade device(s).\nNo upgrade device detected.\n"
                                        "Please ensure the device is in firmware upgrade mode and "
                                        "properly connected."));
}

// ---- online ----

void tst_Upgrade::online_versions_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("question");
    const QString latest;
    QTest::newRow("1.2 is 1.2.0") << "V1.2" << "ZT-3_V1.2.0\nUpdate content:\nx" << latest;
    QTest::newRow("1.2.1 offered")
        << "V1.2" << "ZT-3_V1.2.1\r\nUpdate content:\r\n- faster pedals \r\n"
        << "Current: ZT-3_V1.2\nNew version available: ZT-3_V1.2.1\n\nUpdate Content:\n- faster pedals";
    QTest::newRow("1.10 newer than 1.9")
        << "V1.9" << "ZT-3_V1.10\nUpdate content: y"
        << "Current: ZT-3_V1.9\nNew version available: ZT-3_V1.10\n\nUpdate Content:\ny";
    QTest::newRow("current without V")
        << "1.2" << "ZT-3_V0.0.1\nUpdate content: z"
        << "Current: ZT-3_1.2\nNew version available: ZT-3_V0.0.1\n\nUpdate Content:\nz";
    QTest::newRow("version line second") << "V1.0" << "\nZT-3_V9.0\n" << latest;
    QTest::newRow("older") << "V2.0" << "ZT-3_V1.9.9" << latest;
    QTest::newRow("no description")
        << "V1.0" << "ZT-3_V1.1"
        << "Current: ZT-3_V1.0\nNew version available: ZT-3_V1.1\n\nUpdate Content:\nNo description";
}

void tst_Upgrade::online_versions()
{
    QFETCH(QString, current);
    QFETCH(QString, text);
    QFETCH(QString, question);
    UpgradeRig rig;
    rig.boxes.setAnswer(QMessageBox::Cancel);
    QVERIFY(rig.connect());
    QVERIFY(rig.onlineCheckDone());
    rig.server.serve(kTextPath, text.toUtf8());
    rig.dialog.rec_version(current);
    if (question.isEmpty()) {
        QTRY_COMPARE(rig.log().count("Already the latest version."), 2);
        QVERIFY(rig.boxes.seen().isEmpty());
    } else {
        QTRY_COMPARE(rig.boxes.texts(), QStringList{question});
        QCOMPARE(titles(rig.boxes), QStringList{"Update Available"});
        QCOMPARE(rig.boxes.seen().first().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    }
    QCOMPARE(rig.state(), int(upgrade_dialog::Connected));
    QCOMPARE(rig.server.requestCount(kTextPath), 2);
    QVERIFY(rig.device.commandsOf(ControllerCommand::Erase).isEmpty());
}

void tst_Upgrade::online_accepted_upgradesWithDownloadedImage()
{
    UpgradeRig rig;
    // An earlier attempt that lost its device leaves its latches behind.
    QVERIFY(rig.connect());
    QVERIFY(rig.onlineCheckDone());
    rig.device.vanishAfterImageBytes(640);
    QVERIFY(rig.upgradeWith(image(64 * 100)));
    QVERIFY(rig.log().contains("CRITICAL: Communication lost!"));
    rig.dialog.refreshDeviceList(); // the device is gone from the list
    rig.device.vanishAfterImageBytes(-1);
    QVERIFY(rig.device.plugIn());
    rig.boxes.setAnswer(QMessageBox::Ok);
    const int before = rig.boxes.seen().size();

    const QByteArray bytes = image(10000, 3);
    rig.server.serve(kTextPath, "ZT-3_V1.3.0\nUpdate content:\nNew curve");
    rig.server.serveWithChecksum("download/Product/ZT-3/Update/ZT-3_V1.3.0.bin", bytes);
    rig.server.setThrottle(2500, 5);
    rig.dialog.clearLog();
    QVERIFY(rig.connect());
    QTRY_COMPARE(rig.boxes.seen().size(), before + 2);
    QCOMPARE(titles(rig.boxes).mid(before), (QStringList{"Update Available", "Upgrade"}));
    QCOMPARE(md5(rig.device.receivedImage()), md5(bytes));
    const QString log = rig.log();
    QVERIFY(log.contains("Download progress: 100%"));
    QVERIFY(log.count("Download progress:") >= 2);
    QVERIFY(log.contains("Downloaded new firmware: ZT-3_V1.3.0 (10000 bytes)\n"
                         "Checksum verified (SHA-256).\n"
                         "Erasing flash, please wait...\nErase completed.\nSending firmware...\n"
                         "Firmware MD5: " + QString::fromLatin1(md5(bytes))));
    QVERIFY(!log.contains("Starting manual upgrade"));
    QCOMPARE(rig.state(), int(upgrade_dialog::Idle));
    QVERIFY(!rig.link.isOpen());
}

void tst_Upgrade::online_imageFails_data()
{
    QTest::addColumn<QString>("failure");
    for (const char *f : {"404", "drop", "stall", "redirect", "empty", "500"})
        QTest::newRow(f) << QString(f);
}

void tst_Upgrade::online_imageFails()
{
    QFETCH(QString, failure);
    UpgradeRig rig;
    const QString path = "download/Product/ZT-3/Update/ZT-3_V1.3.0.bin";
    rig.server.serve(kTextPath, "ZT-3_V1.3.0");
    if (failure == "drop")
        rig.server.drop(path);
    else if (failure == "stall")
        rig.server.stall(path);
    else if (failure == "redirect")
        rig.server.redirect(path, rig.server.baseUrl() + "/elsewhere.bin");
    else if (failure == "empty")
        rig.server.serve(path, QByteArray());
    else if (failure == "500")
        rig.server.serve(path, "an error page", 500);
    rig.server.serve("elsewhere.bin", image(640));
    QVERIFY(rig.connect());
    QTRY_COMPARE_WITH_TIMEOUT(rig.boxes.texts(), (QStringList{"Current: ZT-3_V1.2.0\nNew version "
                              "available: ZT-3_V1.3.0\n\nUpdate Content:\nNo description", kGeneric}),
                              4 * rig.dialog.timings().transferTimeoutMs + 3000);
    // The network layer sends a GET once more on its own when the server
    // hangs up without an answer.
    QCOMPARE(rig.server.requestCount(path), failure == "drop" ? 8 : 4);
    QCOMPARE(rig.server.requestCount("elsewhere.bin"), 0);
    const QString log = rig.log();
    QCOMPARE(log.count("Network error: "), 4);
    QVERIFY(log.contains("Retrying... (2 attempts left)"));
    QVERIFY(log.indexOf("(1 attempts left)") > log.indexOf("(2 attempts left)"));
    QVERIFY(log.indexOf("(0 attempts left)") > log.indexOf("(1 attempts left)"));
    QVERIFY(!log.contains("Downloaded new firmware"));
    QVERIFY(rig.device.commandsOf(ControllerCommand::Erase).isEmpty());
    QVERIFY(rig.dialog.image().isEmpty());
    QCOMPARE(rig.state(), int(upgrade_dialog::Idle));
}

void tst_Upgrade::online_textUnreachable_staysConnected()
{
    UpgradeRig rig;
    rig.server.remove(kTextPath);
    QVERIFY(rig.connect());
    QTRY_VERIFY(rig.log().endsWith("Online update check failed. A local file can still be used."));
    QCOMPARE(rig.server.requestCount(kTextPath), 4);
    QCOMPARE(rig.log().count("Retrying..."), 3);
    QVERIFY(rig.boxes.seen().isEmpty());
    QCOMPARE(rig.state(), int(upgrade_dialog::Connected));
    QVERIFY(rig.upgradeWith(image(200)));
    QCOMPARE(titles(rig.boxes), QStringList{"Upgrade"});
}

void tst_Upgrade::online_imageRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    const QString mismatch = "The downloaded firmware does not match the checksum the server "
                             "offers. Nothing was written to the device.";
    QTest::newRow("checksum of another image") << "mismatch" << mismatch;
    QTest::newRow("checksum file that is none") << "garbage" << mismatch;
    QTest::newRow("checksum file over 4 KiB") << "oversized checksum" << mismatch;
    const QString unread = "The checksum for the downloaded firmware could not be read (%1). "
                           "Nothing was written to the device.";
    QTest::newRow("checksum behind a server error")
        << "checksum 500" << unread;
    QTest::newRow("checksum connection dropped") << "checksum dropped" << unread;
    QTest::newRow("image over 1 MiB") << "oversized" << "";
}

void tst_Upgrade::online_imageRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    UpgradeRig rig;
    const QString path = "download/Product/ZT-3/Update/ZT-3_V1.3.0.bin";
    rig.server.serve(kTextPath, "ZT-3_V1.3.0");
    if (kind == "oversized") {
        rig.server.serve(path, QByteArray(3 * 1024 * 1024, '\x5A'));
        rig.server.setThrottle(64 * 1024, 2);
    } else {
        rig.server.serveWithChecksum(path, image(5000, 1));
        rig.server.serve(path, image(5000, 2)); // the checksum stays that of the first
        if (kind == "garbage")
            rig.server.serve(path + ".sha256", "<html>not here</html>");
        else if (kind == "oversized checksum") // the image's true checksum, then 8 KiB more
            rig.server.serve(path + ".sha256", FirmwareImage::sha256Hex(image(5000, 2))
                                                   + "  ZT-3_V1.3.0.bin\n" + QByteArray(8192, '#'));
        else if (kind == "checksum 500")
            rig.server.serve(path + ".sha256", "<html>busy</html>", 500);
        else if (kind == "checksum dropped")
            rig.server.drop(path + ".sha256");
    }
    QVERIFY(rig.connect());
    QTRY_COMPARE_WITH_TIMEOUT(rig.boxes.seen().size(), 2, 5000);
    QCOMPARE(titles(rig.boxes), (QStringList{"Update Available", "Firmware Refused"}));
    if (kind == "oversized") {
        QVERIFY(rig.boxes.texts().last().contains("a firmware image has at most 1048576 bytes"));
        QCOMPARE(rig.server.requestCount(path), 1); // aborted, not retried
    } else if (kind.startsWith("checksum")) {
        // The reason is in Qt's words; the box names it.
        const QString box = rig.boxes.texts().last();
        QVERIFY2(box.startsWith(text.section("(%1)", 0, 0) + "(")
                     && box.endsWith(text.section("(%1)", 1)) && box.size() > text.size() + 2,
                 qPrintable(box));
        QVERIFY(rig.dialog.ui->textBrowser->toHtml().contains(
            "The checksum offered for this firmware could not be read: "));
    } else {
        QCOMPARE(rig.boxes.texts().last(), text);
        QVERIFY(rig.dialog.ui->textBrowser->toHtml().contains("Checksum mismatch: the server gives "
                                                              + QString(kind != "mismatch"
                                                                            ? "no valid checksum"
                                                                            : "")));
    }
    QVERIFY(rig.device.commandsOf(ControllerCommand::Erase).isEmpty());
    QVERIFY(rig.dialog.image().isEmpty());
    // Nothing was started: the device stays connected for a local file.
    QCOMPARE(rig.state(), int(upgrade_dialog::Connected));
    QVERIFY(rig.dialog.ui->pushButton_3->isEnabled());
    QVERIFY(rig.upgradeWith(image(300)));
    QCOMPARE(titles(rig.boxes).last(), QString("Upgrade"));
}

void tst_Upgrade::otherModelFile_flashedWhenConfirmed()
{
    UpgradeRig rig("QRX-10");
    QVERIFY(rig.connect());
    QVERIFY(rig.onlineCheckDone());
    rig.boxes.setAnswer(QMessageBox::Yes);
    QVERIFY(rig.loadImage(image(200), "ZT-UNO firmware.bin"));
    rig.dialog.ui->pushButton_4->click();
    QTRY_COMPARE(rig.boxes.seen().size(), 2);
    QCOMPARE(rig.boxes.texts().first(),
             QString("This file looks like firmware for ZT-1. Flash it to QRX-10 anyway?"));
    QCOMPARE(md5(rig.device.receivedImage()), md5(image(200)));

    // A file named for the device's own model asks nothing (after the
    // device was powered on again).
    rig.device.vanish();
    rig.dialog.refreshDeviceList();
    QVERIFY(rig.device.plugIn());
    QVERIFY(rig.connect());
    QVERIFY(rig.loadImage(image(100), "QRX-10_V9.bin"));
    rig.dialog.ui->pushButton_4->click();
    QTRY_COMPARE(rig.boxes.seen().size(), 3);
    QVERIFY2(titles(rig.boxes).last() == "Upgrade", qPrintable(rig.log()));
    QCOMPARE(md5(rig.device.receivedImage()), md5(image(100)));
}

// ---- in the main window ----

void tst_Upgrade::window_menuEntryAndEraseAcknowledgedOnce()
{
    ControllerRig rig("ZT-3");
    SimulatedController bootloader("QRX-10");
    bootloader.setMode(SimulatedController::Mode::Upgrade);
    bootloader.setEraseDelay(5);
    rig.source.addController(&bootloader);
    upgrade_dialog *dialog = rig.window->upgradeDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->parent(), rig.window.get());
    QCOMPARE(dialog->windowTitle(), QString("Firmware Upgrade"));
    QCOMPARE(dialog->size(), QSize(771, 288));
    QCOMPARE(dialog->ui->progressBar->value(), 0);
    dialog->setTimings(UpgradeRig::fastTimings());

    dialog->ui->textBrowser->append("old line");
    QAction *entry = nullptr;
    for (QAction *a : rig.window->findChildren<QAction *>())
        entry = a->text() == "Firmware Upgrade" ? a : entry;
    QVERIFY(entry);
    entry->trigger();
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->ui->comboBox->itemText(0), QString("QRX-10 Bootloader"));
    QVERIFY(dialog->ui->textBrowser->toPlainText().isEmpty());

    FakeFileDialogs files;
    QTemporaryDir dir;
    QFile file(dir.filePath("fw.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(image(130));
    file.close();
    files.answerWith({file.fileName()});

    // The main window's connect voids what the dialog knew of its device.
    dialog->ui->pushButton->click();
    QTRY_VERIFY(!dialog->deviceFirmware().isEmpty());
    dialog->ui->pushButton_3->click();
    QCOMPARE(dialog->image(), image(130));
    dialog->ui->pushButton->click(); // the dialog lets the link go
    QVERIFY(rig.connect());
    QVERIFY(dialog->deviceModel().isEmpty() && dialog->image().isEmpty());
    rig.ui->connectButton->click(); // disconnect

    files.answerWith({file.fileName()});
    dialog->clearLog();
    dialog->ui->pushButton->click();
    QTRY_VERIFY(dialog->ui->textBrowser->toPlainText().contains("Current Firmware:"));
    dialog->ui->pushButton_3->click();
    dialog->ui->pushButton_4->click();
    QTRY_COMPARE(rig.boxes.texts().count("Upgrade successful, please power on the device again."), 1);
    QCOMPARE(dialog->ui->textBrowser->toPlainText().count("Erase completed."), 1);
    QCOMPARE(md5(bootloader.receivedImage()), md5(image(130)));
    rig.source.removeController(&bootloader);
}

void tst_Upgrade::window_dialogHoldsLink_windowReachesNothing()
{
    ControllerRig rig("ZT-3");
    SimulatedController bootloader("ZT-3");
    bootloader.setMode(SimulatedController::Mode::Upgrade);
    rig.source.addController(&bootloader);
    upgrade_dialog *dialog = rig.window->upgradeDialog();
    dialog->setTimings(UpgradeRig::fastTimings());
    QMetaObject::invokeMethod(rig.window.get(), "show_ug_dlg_Dialog");

    // The window has just connected: its ask (500 ms) and identity query
    // (600 ms) are still to come when the dialog takes the link.
    rig.ui->comboBox_ComDevices->setCurrentIndex(
        rig.ui->comboBox_ComDevices->findText(rig.controller.model().usbDescription));
    rig.ui->connectButton->click();
    QVERIFY(rig.link()->isOpen());
    QCOMPARE(rig.link()->holder(), SerialPort::Holder::MainWindow);
    QCOMPARE(rig.ui->connectButton->text(), QString("Disconnect"));
    dialog->ui->pushButton->click(); // once
    QCOMPARE(dialog->state(), int(upgrade_dialog::Connected));
    QCOMPARE(rig.link()->holder(), SerialPort::Holder::FirmwareUpgrade);
    QVERIFY(bootloader.portName().endsWith(rig.link()->portName()));
    QTRY_VERIFY(!dialog->deviceFirmware().isEmpty());

    // The window shows who has the link and offers none of its commands.
    QCOMPARE(rig.ui->connectButton->text(), QString("In use by firmware upgrade"));
    for (QWidget *w : QList<QWidget *>{rig.ui->connectButton, rig.ui->comboBox_ComDevices,
                                       rig.ui->setButton_6, rig.ui->checkButton,
                                       rig.ui->deleteButton, rig.ui->openButton})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));

    // Nor does anything of the window reach the bootloader when called anyway.
    const QByteArray received = bootloader.receivedBytes();
    rig.window->on_checkButton_clicked();
    rig.window->on_setButton_6_clicked();
    rig.window->on_deleteButton_clicked();
    rig.window->confirmFactoryReset(); // answered Ok
    rig.window->on_connectButton_clicked();
    QTest::qWait(700); // past the window's own delayed writes
    QCOMPARE(bootloader.receivedBytes(), received);
    QVERIFY(bootloader.commandsOf(ControllerCommand::Ask).isEmpty());
    QCOMPARE(bootloader.commandsOf(ControllerCommand::Identity).size(), 1);
    QVERIFY(rig.link()->isOpen());
    QCOMPARE(dialog->state(), int(upgrade_dialog::Connected));

    // Closing the dialog lets the link go (nothing runs: nothing to ask);
    // both windows show disconnected.
    const int boxes = rig.boxes.seen().size();
    dialog->close();
    QCOMPARE(rig.boxes.seen().size(), boxes);
    QVERIFY(!rig.link()->isOpen());
    QCOMPARE(rig.link()->holder(), SerialPort::Holder::Nobody);
    QCOMPARE(rig.ui->connectButton->text(), QString("Connect"));
    QVERIFY(rig.ui->connectButton->isEnabled());
    QVERIFY(!rig.ui->checkButton->isEnabled());
    QCOMPARE(dialog->ui->pushButton->text(), QString("Connect"));
    QCOMPARE(dialog->state(), int(upgrade_dialog::Idle));

    // And the window connects again as before.
    QVERIFY(rig.connect());
    QCOMPARE(rig.ui->connectButton->text(), QString("Disconnect"));
    QVERIFY(rig.ui->checkButton->isEnabled());
    rig.source.removeController(&bootloader);
}

void tst_Upgrade::deviceList_sameName_userChoosesEitherPort()
{
    UpgradeRig rig;
    SimulatedController second("ZT-3");
    second.setMode(SimulatedController::Mode::Upgrade);
    rig.source.addController(&second);
    rig.dialog.refreshDeviceList();
    QCOMPARE(rig.dialog.ui->comboBox->count(), 1); // one name, as before
    QVERIFY(rig.log().contains("found 2 upgrade device(s)."));

    // Cancel connects to neither.
    rig.boxes.setAnswer(QMessageBox::Cancel);
    rig.dialog.ui->pushButton->click();
    QCOMPARE(titles(rig.boxes), QStringList{"Choose Device"});
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(rig.state(), int(upgrade_dialog::Idle));

    for (SimulatedController *wanted : {&second, &rig.device}) {
        rig.boxes.setAnswerText(wanted->portName());
        rig.dialog.ui->pushButton->click();
        QCOMPARE(titles(rig.boxes).last(), QString("Choose Device"));
        QCOMPARE(rig.boxes.texts().last(), QString("2 upgrade devices are named \"ZT-3 "
                                                   "Bootloader\". Which port do you want to connect?"));
        QVERIFY(wanted->portName().endsWith(rig.link.portName()));
        QTRY_COMPARE(wanted->commandsOf(ControllerCommand::Identity).size(), 1);
        rig.dialog.ui->pushButton->click(); // disconnect
    }
    QCOMPARE(second.commandsOf(ControllerCommand::Identity).size(), 1);

    rig.source.removeController(&second);
}

QTEST_MAIN(tst_Upgrade)
#include "tst_upgrade.moc"
