// The main window's automatic firmware upgrade, end to end against a
// simulated controller that restarts into its upgrade mode and a local
// download server, and the update progress dialog.
#include "app/widget.h"
#include "device/serialport.h"
#include "sim/localdownloadserver.h"
#include "sim/pseudorandombytes.h"
#include "support/autobackupwatch.h"
#include "support/controllerrig.h"
#include "support/upgraderig.h"
#include "ui_upgrade_dialog.h"
#include "ui_upgrade_message_dialog.h"
#include "ui_widget.h"
#include "update/downloadserver.h"
#include "upgrade/upgrade_message_dialog.h"

#include <QCryptographicHash>
#include <QTextBrowser>
#include <QtTest>

namespace {

const QString kSuccess = "Upgrade successful, please power on the device again.";

QString textPath(const QString &word)
{
    return QString("download/Product/%1/Update/%1_Update.txt").arg(word);
}

QString imagePath(const QString &word, const QString &version)
{
    return QString("download/Product/%1/Update/%1_V%2.bin").arg(word, version);
}

/// Remembers the preparation notice, which is shown while the event loop is
/// blocked (the modal watcher may or may not see it).
class ShownBoxes : public QObject
{
public:
    ShownBoxes() { qApp->installEventFilter(this); }
    QStringList texts;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show) {
            auto *box = qobject_cast<QMessageBox *>(o);
            if (box && box->windowTitle() == "Message")
                texts.append(box->windowTitle() + ": " + box->text());
        }
        return false;
    }
};

/// A main window in front of one controller in normal mode, the download
/// server as the vendor's, and every pacing shortened.
struct AutoRig {
    explicit AutoRig(const QString &model, const QString &version = "1.2.0")
        : rig(model)
    {
        DownloadServer::setBase(QUrl(server.baseUrl()));
        rig.controller.behaviour().setFirmwareVersion(version);
        rig.controller.setUpgradeReappearDelay(80);
        rig.controller.setEraseDelay(10);
        Widget::AutoUpgradeTimings t;
        t.preparationMs = 30;
        t.scanIntervalMs = 20;
        t.deviceTimeoutMs = 1500;
        t.transferTimeoutMs = 1000;
        rig.window->setAutoUpgradeTimings(t);
        rig.window->upgradeDialog()->setTimings(UpgradeRig::fastTimings());
    }
    ~AutoRig() { DownloadServer::setBase(QUrl()); }

    upgrade_dialog *dialog() const { return rig.window->upgradeDialog(); }
    /// Titles of the boxes answered, the preparation notice left out.
    QStringList titles() const
    {
        QStringList out;
        for (const ModalWatcher::Seen &s : rig.boxes.seen()) {
            if (s.title != "Message")
                out.append(s.title);
        }
        return out;
    }
    QStringList texts() const
    {
        QStringList out;
        for (const ModalWatcher::Seen &s : rig.boxes.seen()) {
            if (s.title != "Message")
                out.append(s.text);
        }
        return out;
    }

    LocalDownloadServer server;
    ControllerRig rig;
    ShownBoxes shown;
};

} // namespace

class tst_AutoUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void chain_acceptedUpgradeRunsToTheEnd();
    void chain_backupBeforeRestart_restoredOnceAfterReconnect();
    void check_notOffered_data();
    void check_notOffered();
    void check_cancelEndsEverything();
    void check_noBoxWhileForwarding();
    void scan_otherBootloaderPresent_flashesOnlyTheRestarted();
    void scan_twoNewCandidates_flashNothing();
    void image_refusedBeforeRestart_data();
    void image_refusedBeforeRestart();
    void scan_unrecognisedDevice_timesOut_data();
    void scan_unrecognisedDevice_timesOut();
    void restartedControllerBackInNormalMode_notReconnected();
    void progressDialog_linesOnceAfterTwoConnects();
};

void tst_AutoUpgrade::chain_acceptedUpgradeRunsToTheEnd()
{
    AutoRig a("ZT-3", "1.2.0");
    AutoBackupWatch watch(a.rig.controller, ControllerCommand::EnterUpgrade);
    const QByteArray bytes = pseudoRandomBytes(3000);
    a.server.serve(textPath("ZT-3"), "ZT-3_V1.3.0\nUpdate content:\n- new curve");
    a.server.serveWithChecksum(imagePath("ZT-3", "1.3.0"), bytes);
    QVERIFY(a.rig.connect());

    QTRY_VERIFY_WITH_TIMEOUT(a.rig.boxes.texts().contains(kSuccess), 10000);
    QCOMPARE(a.titles(), (QStringList{"Update Available", "Upgrade"}));
    QCOMPARE(AutoBackupWatch::files().size(), 1);
    QCOMPARE(a.texts().first(),
             QString("The current version is ZT-3_V1.2.0\nA new version is available: "
                     "ZT-3_V1.3.0\n\nUpdate Content:\n- new curve\n\n"
                     "The controller's setup was backed up to:\n")
                 + AutoBackupWatch::files().first());
    QCOMPARE(a.shown.texts, QStringList{"Message: Preparing for the upgrade..."});
    QCOMPARE(a.rig.controller.commandsOf(ControllerCommand::EnterUpgrade).size(), 1);
    QCOMPARE(a.rig.controller.mode(), SimulatedController::Mode::Upgrade);
    QCOMPARE(QCryptographicHash::hash(a.rig.controller.receivedImage(), QCryptographicHash::Md5),
             QCryptographicHash::hash(bytes, QCryptographicHash::Md5));
    const QString log = a.dialog()->ui->textBrowser->toPlainText();
    QVERIFY(log.contains("Product Model: ZT-3\nCurrent Firmware: V1.2.0"));
    QVERIFY(log.contains("Starting manual upgrade..."));
    QVERIFY(!log.contains("Already the latest")); // the dialog's own check stays quiet
    QCOMPARE(a.dialog()->state(), int(upgrade_dialog::Idle));
    QCOMPARE(a.server.requestCount(textPath("ZT-3")), 1);
    QCOMPARE(a.server.requestCount(imagePath("ZT-3", "1.3.0") + ".sha256"), 1);
    // Both windows show the link free again.
    QVERIFY(!a.rig.link()->isOpen());
    QCOMPARE(a.rig.ui->connectButton->text(), QString("Connect"));
}

void tst_AutoUpgrade::chain_backupBeforeRestart_restoredOnceAfterReconnect()
{
    AutoRig a("QRX-20", "1.1.0");
    ControllerBehaviour &c = a.rig.controller.behaviour();
    c.setUnsetSlotsEmpty(true);
    c.store(QByteArray::fromHex("00 03 01 05 00 0B 00 7F 00 02 14 40 3C 3E 50 21 00"));
    c.store(QByteArray::fromHex("01 0F 02 02 00 14 00 40 40 01 00 00 00 00 00 00 00"));
    c.store(QByteArray::fromHex("02 07 03 01 02 26 00 7F 10 00 32 00 00 00 32 00 00"));
    const auto definitions = [&c] {
        QList<QByteArray> out;
        for (int p = 0; p < c.pedalCount(); ++p) {
            for (int s = 0; s < ControllerBehaviour::slotCount; ++s)
                out.append(c.definition(p, s));
        }
        return out;
    };
    const QList<QByteArray> before = definitions();
    AutoBackupWatch watch(a.rig.controller, ControllerCommand::EnterUpgrade);
    a.server.serve(textPath("QRX-20"), "QRX-20_V1.2.0\nUpdate content:\nfaster");
    a.server.serveWithChecksum(imagePath("QRX-20", "1.2.0"), pseudoRandomBytes(2000, 5));
    QVERIFY(a.rig.connect());
    QTRY_VERIFY_WITH_TIMEOUT(a.rig.boxes.texts().contains(kSuccess), 10000);

    // The whole controller was on disk before it was told to restart.
    QCOMPARE(watch.atCommand.size(), 1);
    const ControllerBackup::Reading &saved = watch.atCommand.first();
    QVERIFY2(saved.ok, qPrintable(saved.problem));
    QVERIFY(!saved.backup.partial);
    QCOMPARE(saved.backup.entries.size(), c.pedalCount() * 16);
    QCOMPARE(saved.backup.definitionCount(), 3);
    QCOMPARE(saved.backup.firmwareVersion, QString("V1.1.0"));
    QCOMPARE(c.storedCount(), 0);

    // Back in normal mode with the new firmware: the offer comes once, and Yes restores.
    c.setFirmwareVersion("1.2.0");
    a.rig.controller.setMode(SimulatedController::Mode::Normal);
    a.rig.boxes.setAnswer(QMessageBox::Yes);
    const auto restoreTexts = [&a] {
        QStringList out;
        for (const ModalWatcher::Seen &s : a.rig.boxes.seen()) {
            if (s.title == "Restore Controller")
                out.append(s.text);
        }
        return out;
    };
    for (int round = 0; round < 2; ++round) {
        QTRY_VERIFY(a.rig.ui->comboBox_ComDevices->findText(
                        a.rig.controller.model().usbDescription) >= 0);
        a.rig.controller.clearRecords();
        QVERIFY(a.rig.connect());
        QTRY_COMPARE_WITH_TIMEOUT(restoreTexts().size(), 2, 10000);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        a.rig.ui->connectButton->click();
    }
    const QString when =
        saved.backup.created.toLocalTime().toString("yyyy-MM-dd hh:mm:ss");
    QCOMPARE(restoreTexts(),
             (QStringList{QString("Restore the setup saved before the upgrade (%1)?").arg(when),
                          "All 3 definitions were written and read back as in the backup.\n"
                          "The 61 empty slots of the backup were left as the controller has "
                          "them."}));
    QCOMPARE(definitions(), before);
}

void tst_AutoUpgrade::check_notOffered_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("requests");
    QTest::newRow("third number only") << "ZT-3" << "1.2.3" << "ZT-3_V1.2.4" << 1;
    QTest::newRow("same version") << "QRX-20" << "1.1.2" << "QRX-20_V1.1" << 1;
    QTest::newRow("no version line") << "ZT-1" << "1.0.3" << "notes\nZT-1_V9.0" << 1;
    QTest::newRow("unknown model asks nothing") << "WQM-30" << "1.0" << "WQM-30_V9.0" << 0;
}

void tst_AutoUpgrade::check_notOffered()
{
    QFETCH(QString, model);
    QFETCH(QString, version);
    QFETCH(QString, text);
    QFETCH(int, requests);
    AutoRig a(model, version);
    const QString file = model == "ZT-1" ? "download/Product/ZT-1/Update/ZT-UNO_Update.txt"
                                         : textPath(model);
    a.server.serve(file, text.toUtf8());
    QVERIFY(a.rig.connect());
    QTRY_COMPARE(a.server.requests().size(), requests);
    QTest::qWait(100);
    QVERIFY(a.rig.boxes.seen().isEmpty());
    QVERIFY(a.rig.controller.commandsOf(ControllerCommand::EnterUpgrade).isEmpty());
    // The latch holds until the next connect: more identity replies ask nothing.
    a.rig.controller.send(ControllerBehaviour::identityReply(model));
    a.rig.controller.send(ControllerBehaviour::versionReply(version));
    QTest::qWait(100);
    QCOMPARE(a.server.requests().size(), requests);
    if (requests) {
        const QString shown = a.rig.window->progressDialog()->ui->textBrowser->toPlainText();
        QVERIFY2(shown.startsWith("Product Model:" + model), qPrintable(shown));
    }
}

void tst_AutoUpgrade::check_cancelEndsEverything()
{
    AutoRig a("QRX-10", "1.0.6");
    a.rig.boxes.setAnswer(QMessageBox::Cancel);
    a.server.serve(textPath("QRX-10"), "QRX-10_V2.0");
    a.server.serve(imagePath("QRX-10", "2.0"), pseudoRandomBytes(100));
    QVERIFY(a.rig.connect());
    QTRY_COMPARE(a.titles(), QStringList{"Update Available"});
    QTest::qWait(150);
    QCOMPARE(a.server.requestCount(imagePath("QRX-10", "2.0")), 0);
    QVERIFY(a.rig.controller.commandsOf(ControllerCommand::EnterUpgrade).isEmpty());
    QVERIFY(!a.dialog()->isVisible());
    QCOMPARE(a.titles(), QStringList{"Update Available"});
}

void tst_AutoUpgrade::check_noBoxWhileForwarding()
{
    AutoRig a("ZT-3");
    QVERIFY(a.rig.connect()); // no update text yet: nothing happens
    QTRY_COMPARE(a.server.requests().size(), 1);
    a.server.serve(textPath("ZT-3"), "ZT-3_V3.0");
    a.rig.link()->forwardIdentity = true;
    QVERIFY(QMetaObject::invokeMethod(a.rig.window.get(), "startFirmwareCheck"));
    QTRY_COMPARE(a.server.requests().size(), 2);
    QTest::qWait(100);
    QVERIFY(a.rig.boxes.seen().isEmpty());
    QCOMPARE(a.server.requestCount(imagePath("ZT-3", "3.0")), 0);
}

void tst_AutoUpgrade::scan_otherBootloaderPresent_flashesOnlyTheRestarted()
{
    AutoRig a("ZT-3", "1.2.0");
    // Another ZT-3 waits in its upgrade mode already, under the same name.
    SimulatedController other("ZT-3");
    other.setMode(SimulatedController::Mode::Upgrade);
    a.rig.source.addController(&other);
    const QByteArray bytes = pseudoRandomBytes(2000, 9);
    a.server.serve(textPath("ZT-3"), "ZT-3_V1.3.0");
    a.server.serve(imagePath("ZT-3", "1.3.0"), bytes);
    QVERIFY(a.rig.connect());
    QTRY_VERIFY_WITH_TIMEOUT(a.rig.boxes.texts().contains(kSuccess), 10000);
    QCOMPARE(a.titles(), (QStringList{"Update Available", "Upgrade"}));
    QCOMPARE(a.rig.controller.receivedImage(), bytes);
    QVERIFY(other.receivedBytes().isEmpty());
    QVERIFY(!other.isHostConnected());
    a.rig.source.removeController(&other);
}

void tst_AutoUpgrade::scan_twoNewCandidates_flashNothing()
{
    AutoRig a("ZT-3", "1.2.0");
    // A second controller restarts into its upgrade mode at the same moment.
    SimulatedController other("ZT-1");
    other.setMode(SimulatedController::Mode::Upgrade);
    connect(&a.rig.controller, &SimulatedController::modeChanged, this,
            [&] { a.rig.source.addController(&other); });
    a.server.serve(textPath("ZT-3"), "ZT-3_V1.3.0");
    a.server.serve(imagePath("ZT-3", "1.3.0"), pseudoRandomBytes(500));
    QVERIFY(a.rig.connect());
    QTRY_COMPARE_WITH_TIMEOUT(a.titles(), (QStringList{"Update Available", "Auto Upgrade Failed"}),
                              5000);
    const QString reason = a.texts().last();
    QVERIFY2(reason.startsWith("Several devices entered firmware upgrade mode: "), qPrintable(reason));
    QVERIFY(reason.contains("ZT-1 Bootloader (" + other.portName() + ")"));
    QVERIFY(reason.contains("nothing was flashed"));
    QTest::qWait(200);
    QVERIFY(a.rig.controller.commandsOf(ControllerCommand::Erase).isEmpty());
    QVERIFY(other.receivedBytes().isEmpty());
    QCOMPARE(a.dialog()->state(), int(upgrade_dialog::Idle));
    a.rig.source.removeController(&other);
}

void tst_AutoUpgrade::image_refusedBeforeRestart_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("checksum mismatch")
        << "mismatch"
        << "The downloaded firmware does not match the checksum the server offers. Nothing was "
           "written to the device.";
    QTest::newRow("over 1 MiB") << "oversized"
                                << "The firmware image has 1048577 bytes; a firmware image has "
                                   "at most 1048576 bytes (1 MiB).";
    QTest::newRow("checksum behind a server error")
        << "checksum 500"
        << "The checksum for the downloaded firmware could not be read (%1). Nothing was written "
           "to the device.";
    QTest::newRow("far over 1 MiB") << "oversized 16 MiB"
                                    << "The firmware image has 16777216 bytes; a firmware image "
                                       "has at most 1048576 bytes (1 MiB).";
}

void tst_AutoUpgrade::image_refusedBeforeRestart()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    AutoRig a("QRX-20", "1.0.0");
    const QString path = imagePath("QRX-20", "1.1");
    a.server.serve(textPath("QRX-20"), "QRX-20_V1.1");
    if (kind == "mismatch") {
        a.server.serveWithChecksum(path, pseudoRandomBytes(800, 1));
        a.server.serve(path, pseudoRandomBytes(800, 2));
    } else if (kind == "checksum 500") {
        a.server.serve(path, pseudoRandomBytes(800, 1));
        a.server.serve(path + ".sha256", "busy", 500);
    } else {
        a.server.serve(path, QByteArray(kind == "oversized" ? 1024 * 1024 + 1 : 16 << 20, 'q'));
    }
    QVERIFY(a.rig.connect());
    QTRY_COMPARE_WITH_TIMEOUT(a.titles(), (QStringList{"Update Available", "Auto Upgrade Failed"}),
                              5000);
    if (reason.contains("%1")) { // the reason in the parentheses is in Qt's words
        QVERIFY2(a.texts().last().startsWith(reason.section("(%1)", 0, 0) + "(")
                     && a.texts().last().endsWith(reason.section("(%1)", 1))
                     && a.texts().last().contains("Internal Server Error"),
                 qPrintable(a.texts().last()));
    } else {
        QCOMPARE(a.texts().last(), reason);
    }
    // The controller was never sent into its upgrade mode.
    QVERIFY(a.rig.controller.commandsOf(ControllerCommand::EnterUpgrade).isEmpty());
    QCOMPARE(a.rig.controller.mode(), SimulatedController::Mode::Normal);
    QVERIFY(a.shown.texts.isEmpty());
}

void tst_AutoUpgrade::scan_unrecognisedDevice_timesOut_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("reappears");
    QTest::newRow("QRX-30 upgrade device is not recognised") << "QRX-30" << true;
    QTest::newRow("a name without the mark") << "ZT-3" << false;
}

void tst_AutoUpgrade::scan_unrecognisedDevice_timesOut()
{
    QFETCH(QString, model);
    QFETCH(bool, reappears);
    AutoRig a(model, "1.0.0");
    if (!reappears) {
        // The controller ignores the command; another device carries the model word only.
        a.rig.controller.setUpgradeReappearDelay(-1);
        a.rig.source.addSerialPort({"/dev/ttyUPD0", 0x1234, 0x0001, "ZT-3 Updater", "", "", "/dev/ttyUPD0"});
        a.rig.source.addUsbDevice({"USB\\VID_1234&PID_0001\\U", "ZT-3 Updater"});
    }
    a.server.serve(textPath(model), (model + "_V2.0").toUtf8());
    a.server.serve(imagePath(model, "2.0"), pseudoRandomBytes(200));
    QVERIFY(a.rig.connect());
    QTRY_COMPARE_WITH_TIMEOUT(a.titles(), (QStringList{"Update Available", "Auto Upgrade Failed"}),
                              5000);
    QCOMPARE(a.texts().last(),
             QString("Bootloader device not found (timeout).\nPlease check: device in upgrade "
                     "mode, USB cable, driver, then try again."));
    QVERIFY(a.dialog()->isVisible());
    QVERIFY(a.dialog()->ui->comboBox->count() >= 1);
    QCOMPARE(a.dialog()->state(), int(upgrade_dialog::Idle));
    QVERIFY(a.rig.controller.receivedImage().isEmpty());
}

void tst_AutoUpgrade::restartedControllerBackInNormalMode_notReconnected()
{
    // The controller leaves at the restart command, but comes back in its
    // normal mode: the window must not take it back while the upgrade waits
    // for its upgrade device, nor after the upgrade gave up.
    AutoRig a("ZT-3", "1.0.0");
    SimulatedController &c = a.rig.controller;
    c.setUpgradeReappearDelay(-1);
    QObject::connect(&c, &SimulatedController::commandReceived, &c, [&c](int kind) {
        if (kind != ControllerCommand::EnterUpgrade)
            return;
        QTimer::singleShot(0, &c, [&c] { c.vanish(); });
        QTimer::singleShot(100, &c, [&c] { c.plugIn(); });
    });
    a.server.serve(textPath("ZT-3"), "ZT-3_V2.0");
    a.server.serve(imagePath("ZT-3", "2.0"), pseudoRandomBytes(200));
    QVERIFY(a.rig.connect());
    QTRY_COMPARE_WITH_TIMEOUT(a.titles(), (QStringList{"Update Available", "Auto Upgrade Failed"}),
                              5000);
    QVERIFY(c.isPluggedIn());
    QSignalSpy host(&c, &SimulatedController::hostConnectedChanged);
    QVERIFY(!host.wait(400));
    QVERIFY(!a.rig.link()->isOpen());
    QVERIFY(!c.isHostConnected());
    QVERIFY(c.commandsOf(ControllerCommand::Handshake).isEmpty());
}

void tst_AutoUpgrade::progressDialog_linesOnceAfterTwoConnects()
{
    AutoRig a("ZT-3");
    Upgrade_message_Dialog *progress = a.rig.window->progressDialog();
    QCOMPARE(progress->windowTitle(), QString("Upgrade"));
    QCOMPARE(progress->size(), QSize(416, 115));
    QVERIFY(a.rig.connect());
    a.rig.ui->connectButton->click();
    QVERIFY(a.rig.connect());
    progress->ui->textBrowser->clear();
    emit a.rig.window->send_mtd_version("ZT-3", "ZT-3_V1.3.0");
    QCOMPARE(progress->ui->textBrowser->toPlainText(),
             QString("Product Model:ZT-3\n\n\nVersion:ZT-3_V1.3.0"));
    emit a.rig.window->send_possvalue(42);
    QCOMPARE(progress->ui->progressBar->value(), 42);
    progress->show();
    emit a.rig.window->done();
    QCOMPARE(a.rig.boxes.texts(), QStringList{kSuccess});
    QCOMPARE(a.titles(), QStringList{"upgrade"});
    QVERIFY(progress->ui->textBrowser->toPlainText().isEmpty());
    QCOMPARE(progress->ui->progressBar->value(), 0);
    QVERIFY(!progress->isVisible());
}

QTEST_MAIN(tst_AutoUpgrade)
#include "tst_autoupgrade.moc"
