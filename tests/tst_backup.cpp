// Backing up and restoring a whole controller from the File menu: the window
// talks to a simulated controller over a pseudo-terminal, the files go
// through the file-dialog seam, and the boxes are read as the user sees them.
#include "app/widget.h"
#include "backup/backupengine.h"
#include "backup/controllerbackup.h"
#include "device/serialport.h"
#include "sim/controllerbehaviour.h"
#include "support/autobackupwatch.h"
#include "support/controllerrig.h"
#include "support/fakefiledialogs.h"
#include "ui_widget.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QAction *menuAction(Widget &w, const QString &text)
{
    const QList<QAction *> all = w.findChildren<QAction *>();
    for (QAction *a : all) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

/// A rig whose controller has answered the identity queries, so the window
/// knows model and firmware version.
bool connectWithIdentity(ControllerRig &rig)
{
    QSignalSpy identity(rig.window.get(), &Widget::firmwareCheckDue);
    if (!rig.connect() || !(identity.count() > 0 || identity.wait(3000)))
        return false;
    rig.controller.clearRecords();
    return true;
}

/// A ZT-3 backup without slots.
ControllerBackup zt3Backup()
{
    ControllerBackup b;
    b.model = QStringLiteral("ZT-3");
    b.firmwareVersion = QStringLiteral("V1.2.0");
    b.created = QDateTime::fromSecsSinceEpoch(1765300000, Qt::UTC);
    b.pedalCount = 4;
    return b;
}

BackupEngine *engineOf(ControllerRig &rig)
{
    return rig.window->findChild<BackupEngine *>();
}

/// Every pedal type and event of a ZT-3 spread over its four pedals; slots
/// not listed stay empty. The Tempo pedal holds no other switch message, as
/// the controller demands.
QList<QByteArray> everyTypeAndEvent()
{
    return {
        //   p  m  t  ch ev dA dB vA vB mo ga tl pn rn cu cc th
        hex("00 00 01 00 00 07 00 00 7F 00 32 00 00 00 32 32 00"), // expression CC
        hex("00 01 01 05 00 0B 00 7F 00 02 14 40 3C 3E 50 21 00"), // CC inverted, trigger
        hex("00 02 01 09 02 3C 00 0A 5A 00 1E 14 32 33 46 00 00"), // expression NOTE
        hex("00 03 01 04 03 01 02 7F 00 00 28 2C 30 31 3C 10 01"), // Pitch Bend, level 300
        hex("00 04 01 05 04 64 14 00 00 00 32 07 00 00 32 00 00"), // Channel Pressure
        hex("00 0F 03 01 00 04 00 0A 64 00 3C 1E 24 25 28 05 00"), // hi-hat CC
        hex("01 00 02 02 00 14 00 40 40 01 00 00 00 00 00 00 00"), // switch CC Toggle
        hex("01 01 02 01 01 09 00 00 00 00 00 00 00 00 00 00 00"), // PC Single
        hex("01 02 02 03 01 05 32 00 00 03 00 00 00 00 00 00 00"), // PC Increase
        hex("01 03 02 07 02 3D 00 70 20 04 00 00 00 00 00 00 00"), // switch NOTE Decrease
        hex("01 04 02 00 05 00 00 00 00 00 00 00 00 00 00 00 00"), // Start
        hex("01 05 02 00 06 00 00 00 00 00 00 00 00 00 00 00 00"), // Continue
        hex("01 06 02 00 07 00 00 00 00 00 00 00 00 00 00 00 00"), // Stop
        hex("01 07 02 0F 00 7F 00 00 7F 02 00 00 00 00 00 00 00"), // CC Reset
        hex("02 00 02 00 08 00 00 01 F4 00 00 00 00 00 00 00 00"), // Tempo
        hex("02 01 03 02 02 26 00 7F 10 00 32 00 00 00 32 00 00"), // hi-hat NOTE
        hex("02 0A 01 00 00 01 00 00 7F 04 32 00 00 00 32 00 00"), // expression, mode byte 4
        hex("03 00 02 00 08 00 00 00 00 00 00 00 00 00 00 00 00"), // Tempo on the fourth pedal
        hex("03 0F 03 0C 00 40 00 7F 00 00 00 7F 7F 7F 64 64 00"), // hi-hat, every end high
    };
}

/// What an ask for each pedal and slot returns, pedal by pedal.
QList<QByteArray> controllerSlots(ControllerBehaviour &c)
{
    QList<QByteArray> out;
    for (int p = 0; p < c.pedalCount(); ++p) {
        for (int s = 0; s < ControllerBehaviour::slotCount; ++s)
            out.append(c.definition(p, s));
    }
    return out;
}

/// Leaves only everyTypeAndEvent() in the controller; returns its slots.
QList<QByteArray> holdEveryTypeAndEvent(ControllerBehaviour &c)
{
    c.setUnsetSlotsEmpty(true);
    for (const QByteArray &d : everyTypeAndEvent())
        c.store(d);
    return controllerSlots(c);
}

/// Runs a menu action and waits until the box that ends its job was seen.
bool runUntilBox(ControllerRig &rig, const QString &action, int boxesBefore, int timeoutMs = 20000)
{
    QAction *a = menuAction(*rig.window, action);
    if (!a || !a->isEnabled())
        return false;
    a->trigger();
    return QTest::qWaitFor([&] { return rig.boxes.seen().size() > boxesBefore
                                        && !engineOf(rig)->isRunning()
                                        && !rig.window->findChild<QProgressDialog *>(); },
                           timeoutMs);
}

/// Disconnects, connects again and waits until the window knows the
/// controller's model and any reply to it posted meanwhile has had its turn.
bool reconnect(ControllerRig &rig)
{
    if (rig.link()->isOpen())
        rig.ui->connectButton->click();
    rig.controller.clearRecords();
    if (!connectWithIdentity(rig))
        return false;
    bool turn = false;
    QTimer::singleShot(0, [&turn] { turn = true; });
    return QTest::qWaitFor([&turn] { return turn; });
}

QStringList textsTitled(const ControllerRig &rig, const QString &title)
{
    QStringList out;
    for (const ModalWatcher::Seen &s : rig.boxes.seen()) {
        if (s.title == title)
            out.append(s.text);
    }
    return out;
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void backupResetRestore_everyTypeAndEvent_roundTripsByteForByte();
    void backup_askFormFollowsModelAndStatus();
    void backup_controllerStopsAnswering_partialFileOnlyWhenAgreed();
    void restore_cancelledMidway_reportsWhatWasWritten();
    void restore_readBackDiffers_namesTheSlotAndField();
    void restore_badFiles_refusedWithNothingSent();
    void backupAndRestore_controllerNotKnownYet_askToWaitAndSendNothing();
    void simulator_upgradeEraseLosesDefinitions();
    void autoBackup_beforeFactoryReset_completeFirstPrunedAndRestoredOnceAfterReconnect();
    void autoBackup_failedOrCancelled_userChoosesAndNothingIsOffered_data();
    void autoBackup_failedOrCancelled_userChoosesAndNothingIsOffered();
};

void TestBackup::backupResetRestore_everyTypeAndEvent_roundTripsByteForByte()
{
    ControllerRig rig(QStringLiteral("ZT-3"));
    ControllerBehaviour &c = rig.controller.behaviour();
    const QList<QByteArray> before = holdEveryTypeAndEvent(c);

    QVERIFY(!menuAction(*rig.window, "Back Up Controller...")->isEnabled());
    QVERIFY(!menuAction(*rig.window, "Restore Controller...")->isEnabled());
    QVERIFY(connectWithIdentity(rig));
    QVERIFY(menuAction(*rig.window, "Back Up Controller...")->isEnabled());
    QVERIFY(menuAction(*rig.window, "Restore Controller...")->isEnabled());
    const int editorMessage = rig.ui->Message_Number->currentIndex();

    QTemporaryDir dir;
    const QString file = dir.filePath("zt3 backup.json");
    FakeFileDialogs dialogs;
    dialogs.answerWith({file});
    QVERIFY(runUntilBox(rig, "Back Up Controller...", 0));
    QCOMPARE(rig.boxes.seen().last().title, QStringLiteral("Back Up Controller"));
    QCOMPARE(rig.boxes.seen().last().text,
             QStringLiteral("64 message slots were saved to %1.").arg(file));
    QCOMPARE(dialogs.asked.size(), 1);
    QVERIFY(dialogs.asked.first().save);
    // The replies went to the backup alone: the editor was left as it was.
    QCOMPARE(rig.ui->Message_Number->currentIndex(), editorMessage);
    QCOMPARE(rig.commands(ControllerCommand::Ask).size(), 64);

    const ControllerBackup::Reading read = ControllerBackup::load(file);
    QVERIFY2(read.ok, qPrintable(read.problem));
    QCOMPARE(read.backup.model, QStringLiteral("ZT-3"));
    QCOMPARE(read.backup.firmwareVersion, QStringLiteral("V1.2.0"));
    QCOMPARE(read.backup.pedalCount, 4);
    QVERIFY(!read.backup.partial);
    QCOMPARE(read.backup.entries.size(), 64);
    QCOMPARE(read.backup.definitionCount(), everyTypeAndEvent().size());
    for (const ControllerBackup::Entry &e : read.backup.entries) {
        const QByteArray held = c.definition(e.pedal, e.slot);
        QCOMPARE(e.empty, held.at(2) == 0);
        if (!e.empty)
            QCOMPARE(e.message.toFields().toHex(' '), held.toHex(' '));
    }

    // Factory reset from the menu: every definition is gone.
    QAction *reset = menuAction(*rig.window, "Factory Reset");
    reset->trigger();
    QTRY_COMPARE(rig.commands(ControllerCommand::FactoryReset).size(), 1);
    QCOMPARE(c.storedCount(), 0);
    QTRY_VERIFY(rig.boxes.texts().contains("Delete message success!"));
    rig.controller.clearRecords();

    const int boxes = rig.boxes.seen().size();
    dialogs.answerWith({file});
    QVERIFY(runUntilBox(rig, "Restore Controller...", boxes));
    QCOMPARE(rig.boxes.seen().last().title, QStringLiteral("Restore Controller"));
    QCOMPARE(rig.boxes.seen().last().text,
             QStringLiteral("All 19 definitions were written and read back as in the backup.\n"
                            "The 45 empty slots of the backup were left as the controller has "
                            "them."));
    // One set and one read-back per definition, nothing for empty slots, no reply box.
    QCOMPARE(rig.commands(ControllerCommand::Set).size(), 19);
    QCOMPARE(rig.commands(ControllerCommand::Ask).size(), 19);
    QVERIFY(!rig.boxes.texts().contains("Set pedal success!"));
    QCOMPARE(controllerSlots(c), before);

    // A second backup of the restored controller is the first one again.
    const QString second = dir.filePath("again.json");
    dialogs.answerWith({second});
    QVERIFY(runUntilBox(rig, "Back Up Controller...", rig.boxes.seen().size()));
    ControllerBackup again = ControllerBackup::load(second).backup;
    again.created = read.backup.created;
    QVERIFY(again == read.backup);
}

void TestBackup::backup_askFormFollowsModelAndStatus()
{
    // A QRX-20 whose status says pedals 1 and 3 are present: those are asked
    // in the long form (naming the editor's pedal type), the others short.
    ControllerRig rig(QStringLiteral("QRX-20"), 0x05);
    QVERIFY(connectWithIdentity(rig));
    QTemporaryDir dir;
    FakeFileDialogs dialogs;
    dialogs.answerWith({dir.filePath("qrx20.json")});
    rig.ui->pendal_type_comboBox0->setCurrentIndex(1);
    QVERIFY(runUntilBox(rig, "Back Up Controller...", rig.boxes.seen().size()));
    const QList<QByteArray> asks = rig.commands(ControllerCommand::Ask);
    QCOMPARE(asks.size(), 64);
    for (const QByteArray &ask : asks) {
        const int pedal = quint8(ask.at(6));
        if (pedal == 0 || pedal == 2) {
            QCOMPARE(ask.size(), 10);
            QCOMPARE(int(ask.at(8)), 1);
        } else {
            QCOMPARE(ask.size(), 9);
        }
    }
    QCOMPARE(ControllerBackup::load(dir.filePath("qrx20.json")).backup.entries.size(), 64);
}

void TestBackup::backup_controllerStopsAnswering_partialFileOnlyWhenAgreed()
{
    ControllerRig rig(QStringLiteral("QRX-10"));
    QVERIFY(connectWithIdentity(rig));
    engineOf(rig)->setReplyTimeout(300);
    QObject::connect(&rig.controller, &SimulatedController::commandReceived, &rig.controller,
                     [&rig](int kind) {
                         if (kind == ControllerCommand::Ask
                             && rig.commands(ControllerCommand::Ask).size() == 20)
                             rig.controller.setSilent(true);
                     });
    QTemporaryDir dir;
    const QString file = dir.filePath("partial.json");
    FakeFileDialogs dialogs;
    dialogs.answerWith({file});
    rig.boxes.setAnswer(QMessageBox::Yes);
    QVERIFY(runUntilBox(rig, "Back Up Controller...", 0));
    QCOMPARE(rig.boxes.seen().size(), 2);
    QCOMPARE(rig.boxes.seen().at(0).text,
             QStringLiteral("The controller stopped answering: no reply to the ask for pedal 2, "
                            "message 4 within 300 ms. 19 of 48 message slots were read.\n\n"
                            "Save the 19 message slots read so far, marked as partial?"));
    QCOMPARE(rig.boxes.seen().at(1).text,
             QStringLiteral("19 message slots were saved to %1.").arg(file));
    const ControllerBackup::Reading read = ControllerBackup::load(file);
    QVERIFY2(read.ok, qPrintable(read.problem));
    QVERIFY(read.backup.partial);
    QCOMPARE(read.backup.entries.size(), 19);
    QCOMPARE(read.backup.entries.last().pedal, 1);
    QCOMPARE(read.backup.entries.last().slot, 2);

    // Declined, nothing is written.
    rig.controller.setSilent(false);
    rig.controller.clearRecords();
    const QString declined = dir.filePath("declined.json");
    dialogs.answerWith({declined});
    rig.boxes.setAnswer(QMessageBox::No);
    QVERIFY(runUntilBox(rig, "Back Up Controller...", 2));
    QVERIFY(rig.boxes.seen().last().text.endsWith("marked as partial?"));
    QVERIFY(!QFile::exists(declined));

    // A controller that answers nothing: a message, no offer.
    rig.controller.setSilent(true);
    dialogs.answerWith({declined});
    QVERIFY(runUntilBox(rig, "Back Up Controller...", 3));
    QCOMPARE(rig.boxes.seen().last().text,
             QStringLiteral("The controller stopped answering: no reply to the ask for pedal 1, "
                            "message 1 within 300 ms. 0 of 48 message slots were read."));
    QVERIFY(!QFile::exists(declined));
}

void TestBackup::restore_cancelledMidway_reportsWhatWasWritten()
{
    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(connectWithIdentity(rig));
    ControllerBackup backup = zt3Backup();
    for (int s = 0; s < 16; ++s) {
        PedalMessage m;
        PedalMessage::fromFields(hex("00 00 01 00 00 07 00 00 7F 00 32 00 00 00 32 32 00"), &m);
        m.message = quint8(s);
        m.dataA = quint8(s);
        backup.entries.append({0, s, false, m});
    }
    QTemporaryDir dir;
    const QString file = dir.filePath("sixteen.json");
    QVERIFY(backup.save(file, nullptr));

    // Cancel as the fifth set command reaches the controller, before its answer.
    rig.controller.setReplyDelay(150);
    QObject::connect(&rig.controller, &SimulatedController::commandReceived, rig.window.get(),
                     [&rig](int kind) {
                         if (kind == ControllerCommand::Set
                             && rig.commands(ControllerCommand::Set).size() == 5)
                             QTimer::singleShot(0, rig.window.get(), [&rig] {
                                 rig.window->findChild<QProgressDialog *>()
                                     ->findChild<QPushButton *>()
                                     ->click();
                             });
                     });
    FakeFileDialogs dialogs;
    dialogs.answerWith({file});
    QVERIFY(runUntilBox(rig, "Restore Controller...", 0));
    QCOMPARE(rig.boxes.seen().last().title, QStringLiteral("Restore Controller"));
    QCOMPARE(rig.boxes.seen().last().text,
             QStringLiteral("Restore cancelled. 4 of 16 definitions were written: pedal 1, "
                            "message 1; pedal 1, message 2; pedal 1, message 3; pedal 1, "
                            "message 4. The set command for pedal 1, message 5 was sent; its "
                            "answer had not come."));
    // The late answer reaches the controller's host side, and no box: it was the job's.
    QTRY_COMPARE(rig.controller.sent().size(), 4 * 2 + 1);
    QTRY_VERIFY(!rig.link()->bytesAvailable());
    QCOMPARE(rig.commands(ControllerCommand::Set).size(), 5);
    QVERIFY(!rig.boxes.texts().contains("Set pedal success!"));
    QCOMPARE(rig.boxes.seen().size(), 1);
}

void TestBackup::restore_readBackDiffers_namesTheSlotAndField()
{
    // A controller that refuses a second switch message on its Tempo pedal,
    // and one that holds a definition the read-back does not give back.
    ControllerRig rig(QStringLiteral("ZT-3"));
    rig.controller.behaviour().store(hex("01 00 02 00 08 00 00 01 F4 00 00 00 00 00 00 00 00"));
    QVERIFY(connectWithIdentity(rig));
    ControllerBackup backup = zt3Backup();
    PedalMessage refused, channel;
    PedalMessage::fromFields(hex("01 03 02 00 00 14 00 40 40 01 00 00 00 00 00 00 00"), &refused);
    PedalMessage::fromFields(hex("00 02 01 03 00 07 00 00 7F 00 32 00 00 00 32 32 00"), &channel);
    backup.entries = {{1, 3, false, refused}, {0, 2, false, channel}};
    QTemporaryDir dir;
    QVERIFY(backup.save(dir.filePath("b.json"), nullptr));
    // The controller answers the read-back of pedal 1, message 3 with another channel.
    QObject::connect(&rig.controller, &SimulatedController::commandReceived, &rig.controller,
                     [&rig](int kind, const QByteArray &bytes) {
                         if (kind == ControllerCommand::Ask && quint8(bytes.at(6)) == 0
                             && quint8(bytes.at(7)) == 2) {
                             QByteArray changed = rig.controller.behaviour().definition(0, 2);
                             changed[3] = 0x04;
                             rig.controller.behaviour().store(changed);
                         }
                     });
    FakeFileDialogs dialogs;
    dialogs.answerWith({dir.filePath("b.json")});
    QVERIFY(runUntilBox(rig, "Restore Controller...", 0));
    QCOMPARE(rig.boxes.seen().last().icon, QMessageBox::Warning);
    QCOMPARE(rig.boxes.seen().last().text,
             QStringLiteral("1 of 2 definitions were written.\nThese slots did not match:\n"
                            "pedal 2, message 4: refused by the controller (Only one message "
                            "configuration can be set in Tempo mode.)\n"
                            "pedal 1, message 3: channel 4 read back as 5"));
}

void TestBackup::restore_badFiles_refusedWithNothingSent()
{
    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(connectWithIdentity(rig));
    ControllerBackup good = zt3Backup();
    PedalMessage m;
    PedalMessage::fromFields(hex("00 00 01 00 00 07 00 00 7F 00 32 00 00 00 32 32 00"), &m);
    good.entries.append({0, 0, false, m});
    const QByteArray json = good.toJson();
    const auto replaced = [&json](const char *from, const char *to) {
        QByteArray out = json;
        return out.replace(from, to);
    };
    ControllerBackup fivePedals = good;
    fivePedals.pedalCount = 5;
    PedalMessage fifth = m;
    fifth.pedal = 4;
    fivePedals.entries.append({4, 0, false, fifth});
    ControllerBackup onlyEmpty = good;
    onlyEmpty.entries = {{0, 0, true, PedalMessage()}};

    struct Row {
        const char *name;
        QByteArray file;
        QString text;
    };
    const QString prefix = QStringLiteral("The backup file cannot be restored: ");
    const QList<Row> rows = {
        {"bad hex", replaced("00 00 01 00 00 07", "00 00 01 00 00 0Z"),
         prefix + "pedal 1, message 1: the bytes are not 17 bytes of hexadecimal."},
        {"wrong length", replaced("32 32 00\"", "32 32\""),
         prefix + "pedal 1, message 1: the bytes are not 17 bytes of hexadecimal."},
        {"field out of range", replaced("00 00 01 00 00 07 00 00 7F", "00 00 01 00 00 07 00 00 FF"),
         prefix + "pedal 1, message 1: the number or range value 255 is out of range (0 to 127)."},
        {"unknown format version", replaced("\"formatVersion\": 1", "\"formatVersion\": 7"),
         prefix + "the format version 7 is not known (this program reads 1)."},
        {"truncated JSON", json.left(json.size() - 40), QString()},
        {"more pedals than connected", fivePedals.toJson(),
         prefix + "it holds pedal 5, message 1, and the connected controller has 4 pedals."},
        {"nothing to write", onlyEmpty.toJson(), prefix + "the backup holds no definition."},
        {"other model, declined", replaced("\"ZT-3\"", "\"QRX-30\""),
         "The backup was made from a QRX-30, but the connected controller is a ZT-3. Restore it "
         "anyway?"},
    };
    QTemporaryDir dir;
    FakeFileDialogs dialogs;
    rig.boxes.setAnswer(QMessageBox::No);
    for (const Row &row : rows) {
        const QString path = dir.filePath(QString::fromLatin1(row.name) + ".json");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(row.file);
        f.close();
        dialogs.answerWith({path});
        const int boxes = rig.boxes.seen().size();
        menuAction(*rig.window, "Restore Controller...")->trigger();
        QTRY_COMPARE(rig.boxes.seen().size(), boxes + 1);
        const QString seen = rig.boxes.seen().last().text;
        if (row.text.isEmpty())
            QVERIFY2(seen.startsWith(prefix + "the file is not valid JSON"), qPrintable(seen));
        else
            QCOMPARE(seen, row.text);
        QVERIFY(!engineOf(rig)->isRunning());
        QVERIFY2(rig.controller.receivedBytes().isEmpty(), row.name);
    }
}

void TestBackup::backupAndRestore_controllerNotKnownYet_askToWaitAndSendNothing()
{
    // A controller that answers nothing: the port is open, but neither the
    // pedal count nor the model ever comes.
    ControllerRig rig(QStringLiteral("ZT-3"));
    rig.controller.setSilent(true);
    rig.ui->comboBox_ComDevices->setCurrentIndex(
        rig.ui->comboBox_ComDevices->findText(rig.controller.model().usbDescription));
    rig.ui->connectButton->click();
    // The identity query is the last command a connect sends.
    QTRY_COMPARE(rig.commands(ControllerCommand::Identity).size(), 1);
    const QByteArray sent = rig.controller.receivedBytes();
    FakeFileDialogs dialogs;
    for (const char *action : {"Back Up Controller...", "Restore Controller..."}) {
        const int boxes = rig.boxes.seen().size();
        QVERIFY(menuAction(*rig.window, action)->isEnabled());
        menuAction(*rig.window, action)->trigger();
        QTRY_COMPARE(rig.boxes.seen().size(), boxes + 1);
        QCOMPARE(rig.boxes.seen().last().text,
                 QStringLiteral("The controller has not reported its model and pedals yet. Try "
                                "again in a moment."));
    }
    QVERIFY(dialogs.asked.isEmpty());
    QCOMPARE(rig.controller.receivedBytes(), sent);
}

void TestBackup::simulator_upgradeEraseLosesDefinitions()
{
    SimulatedController device(QStringLiteral("ZT-3"));
    device.behaviour().store(hex("00 00 01 00 00 07 00 00 7F 00 32 00 00 00 32 32 00"));
    device.setMode(SimulatedController::Mode::Upgrade);
    device.setEraseDelay(0);
    QSerialPort port;
    port.setPortName(device.portName());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QCOMPARE(device.behaviour().storedCount(), 1);
    port.write(hex("AACC0200020D0A"));
    QTRY_COMPARE(device.commandsOf(ControllerCommand::Erase).size(), 1);
    QCOMPARE(device.behaviour().storedCount(), 0);
}

void TestBackup::autoBackup_beforeFactoryReset_completeFirstPrunedAndRestoredOnceAfterReconnect()
{
    ControllerRig rig(QStringLiteral("ZT-3"));
    ControllerBehaviour &c = rig.controller.behaviour();
    const QList<QByteArray> before = holdEveryTypeAndEvent(c);
    AutoBackupWatch watch(rig.controller, ControllerCommand::FactoryReset);

    // Twelve older automatic backups of this model, two of a model whose name
    // it begins, and a file of the user's own.
    const QDir dir(AutoBackups::directory());
    QVERIFY(QDir().mkpath(dir.path()));
    const QDateTime past = QDateTime::currentDateTimeUtc().addDays(-30);
    QStringList older;
    for (int i = 0; i < 12; ++i)
        older.append(AutoBackups::fileName("ZT-3", "V1.1.0", past.addSecs(i * 60)));
    const QStringList others{AutoBackups::fileName("ZT-30", "V1", past),
                             AutoBackups::fileName("ZT-30", "V1", past.addSecs(1)),
                             QStringLiteral("mine.json")};
    for (const QString &name : older + others) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

    QVERIFY(connectWithIdentity(rig));
    menuAction(*rig.window, "Factory Reset")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(rig.commands(ControllerCommand::FactoryReset).size(), 1, 10000);
    // The new file and the nine newest older ones are kept; the others untouched.
    const QString name = QDir(AutoBackups::directory()).entryList({"ZT-3_V1.2.0_*.json"}).value(0);
    QVERIFY(!name.isEmpty());
    const QString path = dir.filePath(name);
    QStringList kept = older.mid(3) + others + QStringList{name};
    kept.sort();
    QCOMPARE(dir.entryList(QDir::Files, QDir::Name), kept);

    QCOMPARE(rig.boxes.seen().first().title, QStringLiteral("Reset"));
    QCOMPARE(rig.boxes.seen().first().text,
             QStringLiteral("Factory Reset?\n\nThe controller's setup was backed up to:\n%1")
                 .arg(path));
    QCOMPARE(rig.boxes.seen().first().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    // Every slot was on disk before the reset reached the controller.
    const auto complete = std::find_if(watch.atCommand.cbegin(), watch.atCommand.cend(),
                                       [](const ControllerBackup::Reading &r) {
                                           return r.ok && r.backup.model == "ZT-3";
                                       });
    QVERIFY(complete != watch.atCommand.cend());
    QVERIFY(!complete->backup.partial);
    QCOMPARE(complete->backup.entries.size(), 64);
    QCOMPARE(complete->backup.definitionCount(), everyTypeAndEvent().size());
    QTRY_COMPARE(c.storedCount(), 0);
    QVERIFY(textsTitled(rig, "Restore Controller").isEmpty());

    // Connected again, the restore is offered and brings every byte back.
    rig.boxes.setAnswer(QMessageBox::Yes);
    QVERIFY(reconnect(rig));
    QTRY_COMPARE_WITH_TIMEOUT(textsTitled(rig, "Restore Controller").size(), 2, 10000);
    const QString when = complete->backup.created.toLocalTime().toString("yyyy-MM-dd hh:mm:ss");
    QCOMPARE(textsTitled(rig, "Restore Controller"),
             (QStringList{QStringLiteral("Restore the setup saved before the factory reset (%1)?")
                              .arg(when),
                          "All 19 definitions were written and read back as in the backup.\n"
                          "The 45 empty slots of the backup were left as the controller has "
                          "them."}));
    QTRY_VERIFY(!engineOf(rig)->isRunning());
    QCOMPARE(controllerSlots(c), before);

    // Once only.
    QVERIFY(reconnect(rig));
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(textsTitled(rig, "Restore Controller").size(), 2);
}

void TestBackup::autoBackup_failedOrCancelled_userChoosesAndNothingIsOffered_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("note");
    QTest::newRow("no answer, reset declined")
        << false << int(QMessageBox::Cancel)
        << "No backup could be made first. The controller stopped answering: no reply to the "
           "ask for pedal 1, message 6 within 200 ms. 5 of 64 message slots were read.\n"
           "Without a backup, the message definitions the controller holds may be lost.";
    QTest::newRow("cancelled, reset anyway")
        << true << int(QMessageBox::Ok)
        << "The backup was cancelled.\nWithout a backup, the message definitions the "
           "controller holds may be lost.";
}

void TestBackup::autoBackup_failedOrCancelled_userChoosesAndNothingIsOffered()
{
    QFETCH(bool, cancel);
    QFETCH(int, answer);
    QFETCH(QString, note);
    ControllerRig rig(QStringLiteral("ZT-3"));
    AutoBackupWatch watch(rig.controller, ControllerCommand::FactoryReset);
    QVERIFY(connectWithIdentity(rig));
    engineOf(rig)->setReplyTimeout(200);
    QObject::connect(&rig.controller, &SimulatedController::commandReceived, &rig.controller,
                     [&rig, cancel](int kind) {
                         if (kind != ControllerCommand::Ask
                             || rig.commands(ControllerCommand::Ask).size() != 6)
                             return;
                         if (!cancel) {
                             rig.controller.setSilent(true);
                             return;
                         }
                         rig.window->findChild<QProgressDialog *>()
                             ->findChild<QPushButton *>()
                             ->click();
                     });
    rig.boxes.setAnswer(QMessageBox::StandardButton(answer));
    menuAction(*rig.window, "Factory Reset")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(textsTitled(rig, "Reset").size(), 1, 10000);
    QCOMPARE(textsTitled(rig, "Reset").first(), "Factory Reset?\n\n" + note);
    QVERIFY(AutoBackupWatch::files().isEmpty());
    rig.controller.setSilent(false);
    const bool reset = answer == QMessageBox::Ok;
    QTRY_COMPARE(rig.commands(ControllerCommand::FactoryReset).size(), reset ? 1 : 0);

    rig.boxes.setAnswer(QMessageBox::Yes);
    QVERIFY(reconnect(rig));
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(textsTitled(rig, "Restore Controller").isEmpty());
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
