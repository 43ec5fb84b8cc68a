// Auto-reconnect: the decisions (table-driven), and the main window in front
// of simulated controllers that are unplugged and plugged in again.
#include "app/statusline.h"
#include "app/widget.h"
#include "device/reconnectpolicy.h"
#include "device/serialport.h"
#include "pedal/pedalmessage.h"
#include "support/controllerrig.h"
#include "support/fakedevicesource.h"
#include "support/scopedcurrentdir.h"
#include "ui_upgrade_dialog.h"
#include "ui_widget.h"
#include "upgrade/upgrade_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

/// One look at the present controllers and what it must decide: "None",
/// "Expired", "Cancelled", "Reconnect <port>", "Ambiguous <port>,<port>".
struct Look {
    qint64 ms;
    QStringList present;
    bool blocked;
    QString expect;
};
using Looks = QList<Look>;

const QString kDesc = QStringLiteral("Veltrano ZT-3 MIDI");

/// "port|description|serial"; the description defaults to kDesc.
ControllerPort port(const QString &fields)
{
    const QStringList f = fields.split(QLatin1Char('|'));
    return {f.value(0), f.value(1).isEmpty() ? kDesc : f.value(1), f.value(2)};
}

QList<ControllerPort> ports(const QStringList &list)
{
    QList<ControllerPort> out;
    for (const QString &s : list)
        out.append(port(s));
    return out;
}

QString describe(const ReconnectPolicy::Decision &d)
{
    switch (d.kind) {
    case ReconnectPolicy::Decision::None: return QStringLiteral("None");
    case ReconnectPolicy::Decision::Expired: return QStringLiteral("Expired");
    case ReconnectPolicy::Decision::Cancelled: return QStringLiteral("Cancelled");
    case ReconnectPolicy::Decision::Reconnect:
        return QStringLiteral("Reconnect ") + d.target.portName;
    case ReconnectPolicy::Decision::Ambiguous:
        return QStringLiteral("Ambiguous ") + d.ports.join(QLatin1Char(','));
    }
    return QString();
}

QString lineOf(const Widget &w)
{
    auto *line = w.findChild<QLabel *>(QStringLiteral("statusLine"));
    return line ? line->text() : QStringLiteral("<no status line>");
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

/// The serial port and USB device of a controller like sim that nobody can
/// open, with the given serial number.
void addUnopenable(SimulatedDeviceSource &source, const SimulatedController &sim,
                   const QString &path, const QString &serial)
{
    source.addSerialPort({path, sim.vendorId(), sim.productId(), QString(),
                          QStringLiteral("Veltrano"), serial, path});
    source.addUsbDevice({QStringLiteral("USB\\VID_%1&PID_%2\\%3")
                             .arg(sim.vendorId(), 4, 16, QLatin1Char('0'))
                             .arg(sim.productId(), 4, 16, QLatin1Char('0'))
                             .arg(serial)
                             .toUpper(),
                         sim.usbDescription()});
}

/// Nothing reconnects to the rig's controller: the link stays as it is for a
/// while, and the controller has heard no handshake since the rig connected.
bool noReconnectFollows(ControllerRig &rig)
{
    QSignalSpy holders(rig.link(), &SerialPort::holderChanged);
    return !holders.wait(400) && !rig.controller.isHostConnected()
           && rig.commands(ControllerCommand::Handshake).isEmpty();
}

/// A window in front of one controller in a scratch working directory, the
/// auto-reconnect paced fast: the window as given, looks every 40 ms,
/// retries 60 ms apart.
struct FastRig {
    explicit FastRig(const QString &model, int windowMs = 4000) : rig(model)
    {
        Widget::ReconnectTimings t;
        t.windowMs = windowMs;
        t.pollMs = 40;
        t.retryMs = 60;
        rig.window->setReconnectTimings(t);
    }
    /// Connects, pulls the controller's cable and waits until the link has closed.
    bool connectAndUnplug()
    {
        if (!rig.connect())
            return false;
        rig.controller.vanish();
        return QTest::qWaitFor([this] { return !rig.link()->isOpen(); });
    }

    ScopedCurrentDir dir;
    ControllerRig rig;
};

} // namespace

Q_DECLARE_METATYPE(Looks)

class tst_Reconnect : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<SerialPort::Holder>(); }
    void policy_decides_data();
    void policy_decides();
    void policy_failedOpens_retryThenGiveUp_data();
    void policy_failedOpens_retryThenGiveUp();
    void policy_eachConnectionArmsAgain();

    void selectDevice_takesOverTheEntryLeftFromBeforeTheUnplug();
    void window_replugWithinWindow_reconnectsKeepingPedalSlotAndPage();
    void window_replugAfterWindow_staysDisconnected();
    void window_afterUserDisconnect_noReconnect();
    void window_upgradeHoldsLink_noReconnectEvenAfterRelease();
    void window_otherControllerIgnored_ownOneReconnected();
    void window_unusableArrivals_saySoWithoutBox_data();
    void window_unusableArrivals_saySoWithoutBox();
};

void tst_Reconnect::policy_decides_data()
{
    QTest::addColumn<QString>("connected"); // empty: never connected
    QTest::addColumn<bool>("userDisconnected");
    QTest::addColumn<QStringList>("atLoss");
    QTest::addColumn<bool>("blockedAtLoss");
    QTest::addColumn<bool>("waits");
    QTest::addColumn<Looks>("looks");

    const QString a = QStringLiteral("/p/1||S1");
    const QString noSerial = QStringLiteral("/p/1||");
    QTest::newRow("back under a new name")
        << a << false << QStringList() << false << true
        << Looks{{100, {}, false, "None"}, {200, {"/p/2||S1"}, false, "Reconnect /p/2"}};
    QTest::newRow("back at once under a new name")
        << a << false << QStringList() << false << true
        << Looks{{10, {"/p/2||S1"}, false, "Reconnect /p/2"}};
    QTest::newRow("still listed at the loss, gone, back under its name")
        << a << false << QStringList{a} << false << true
        << Looks{{100, {a}, false, "None"}, {200, {}, false, "None"},
                 {300, {a}, false, "Reconnect /p/1"}};
    QTest::newRow("never seen gone: never taken, then the window ends")
        << a << false << QStringList{a} << false << true
        << Looks{{100, {a}, false, "None"}, {29000, {a}, false, "None"},
                 {30001, {a}, false, "Expired"}, {30100, {"/p/2||S1"}, false, "None"}};
    QTest::newRow("back on the window's last millisecond")
        << a << false << QStringList() << false << true
        << Looks{{30000, {"/p/2||S1"}, false, "Reconnect /p/2"}};
    QTest::newRow("back a millisecond late")
        << a << false << QStringList() << false << true
        << Looks{{30001, {"/p/2||S1"}, false, "Expired"}};
    QTest::newRow("other serial number")
        << a << false << QStringList() << false << true
        << Looks{{100, {"/p/2||S2"}, false, "None"}, {200, {"/p/2||S2", "/p/3||S1"}, false,
                                                      "Reconnect /p/3"}};
    QTest::newRow("other description")
        << a << false << QStringList() << false << true
        << Looks{{100, {"/p/2|Veltrano ZT-1 MIDI|S1", "/p/3|veltrano zt-3 midi|S1"}, false,
                  "None"}};
    QTest::newRow("arrival reports no serial number")
        << a << false << QStringList() << false << true
        << Looks{{100, {"/p/2||"}, false, "Reconnect /p/2"}};
    QTest::newRow("lost one reported none")
        << noSerial << false << QStringList() << false << true
        << Looks{{100, {"/p/7||X9"}, false, "Reconnect /p/7"}};
    QTest::newRow("a like controller present all along is not the lost one")
        << noSerial << false << QStringList{"/p/5||"} << false << true
        << Looks{{100, {"/p/5||"}, false, "None"}, {200, {"/p/5||", "/p/6||"}, false,
                                                    "Reconnect /p/6"}};
    QTest::newRow("present all along, then gone and back: an arrival")
        << noSerial << false << QStringList{"/p/5||"} << false << true
        << Looks{{100, {}, false, "None"}, {200, {"/p/5||"}, false, "Reconnect /p/5"}};
    QTest::newRow("several without serial numbers: the lost name wins")
        << noSerial << false << QStringList() << false << true
        << Looks{{100, {"/p/2||", "/p/1||"}, false, "Reconnect /p/1"}};
    QTest::newRow("several without serial numbers, none on the lost name: no guess")
        << noSerial << false << QStringList() << false << true
        << Looks{{100, {"/p/2||", "/p/3||"}, false, "Ambiguous /p/2,/p/3"},
                 {200, {"/p/2||"}, false, "None"}};
    QTest::newRow("the serial number picks among several")
        << a << false << QStringList() << false << true
        << Looks{{100, {"/p/2||", "/p/3||S1", "/p/4||"}, false, "Reconnect /p/3"}};
    QTest::newRow("an upgrade at the loss: no window")
        << a << false << QStringList() << true << false
        << Looks{{100, {"/p/2||S1"}, false, "None"}};
    QTest::newRow("an upgrade while waiting ends the window")
        << a << false << QStringList() << false << true
        << Looks{{100, {}, true, "Cancelled"}, {200, {"/p/2||S1"}, false, "None"}};
    QTest::newRow("blocked with the controller back: nothing")
        << a << false << QStringList() << false << true
        << Looks{{100, {"/p/2||S1"}, true, "Cancelled"}, {200, {"/p/2||S1"}, false, "None"}};
    QTest::newRow("after the user's Disconnect")
        << a << true << QStringList() << false << false
        << Looks{{100, {"/p/2||S1"}, false, "None"}};
    QTest::newRow("never connected")
        << QString() << false << QStringList() << false << false
        << Looks{{100, {"/p/2||S1"}, false, "None"}};
}

void tst_Reconnect::policy_decides()
{
    QFETCH(QString, connected);
    QFETCH(bool, userDisconnected);
    QFETCH(QStringList, atLoss);
    QFETCH(bool, blockedAtLoss);
    QFETCH(bool, waits);
    QFETCH(Looks, looks);

    ReconnectPolicy policy;
    QCOMPARE(policy.state(), ReconnectPolicy::State::Off);
    if (!connected.isEmpty())
        policy.connected(port(connected));
    if (userDisconnected)
        policy.userDisconnected();
    QCOMPARE(policy.lost(ports(atLoss), 0, blockedAtLoss), waits);
    for (const Look &look : looks) {
        const QString got = describe(policy.poll(ports(look.present), look.ms, look.blocked));
        QVERIFY2(got == look.expect, qPrintable(QStringLiteral("at %1 ms: %2, expected %3")
                                                    .arg(look.ms)
                                                    .arg(got, look.expect)));
        // A decision that ends the window leaves nothing to wait for.
        if (got != QLatin1String("None") && !got.startsWith(QLatin1String("Reconnect")))
            QVERIFY(policy.state() != ReconnectPolicy::State::Waiting);
    }
}

void tst_Reconnect::policy_failedOpens_retryThenGiveUp_data()
{
    QTest::addColumn<qint64>("windowMs");
    QTest::addColumn<QList<qint64>>("attemptsAt"); // looks every 10 ms; when it reconnects
    QTest::addColumn<qint64>("endsAt");            // when attemptFailed says the window ended

    QTest::newRow("three tries a retry apart") << qint64(30000)
                                               << QList<qint64>{10, 1010, 2010} << qint64(2010);
    QTest::newRow("the window ends the tries") << qint64(1500) << QList<qint64>{10, 1010}
                                               << qint64(1010);
}

void tst_Reconnect::policy_failedOpens_retryThenGiveUp()
{
    QFETCH(qint64, windowMs);
    QFETCH(QList<qint64>, attemptsAt);
    QFETCH(qint64, endsAt);

    ReconnectPolicy policy({windowMs, 1000});
    policy.connected(port("/p/1||S1"));
    QVERIFY(policy.lost({}, 0, false));
    QList<qint64> attempts;
    qint64 ended = -1;
    for (qint64 t = 10; t <= 40000 && ended < 0; t += 10) {
        const ReconnectPolicy::Decision d = policy.poll({port("/p/9||S1")}, t, false);
        if (d.kind != ReconnectPolicy::Decision::Reconnect)
            continue;
        attempts.append(t);
        if (!policy.attemptFailed(t))
            ended = t;
    }
    QCOMPARE(attempts, attemptsAt);
    QCOMPARE(ended, endsAt);
    QCOMPARE(policy.state(), ReconnectPolicy::State::Armed);
    QVERIFY(attempts.size() <= ReconnectPolicy::maxAttempts);
}

void tst_Reconnect::policy_eachConnectionArmsAgain()
{
    // Unplugged and back, again and again, under changing names: each
    // reconnect arms for the next loss, and tries start afresh.
    ReconnectPolicy policy;
    ControllerPort current = port("/p/0||S1");
    policy.connected(current);
    qint64 t = 0;
    for (int round = 1; round <= 5; ++round) {
        QVERIFY(policy.lost({}, t, false));
        QCOMPARE(policy.state(), ReconnectPolicy::State::Waiting);
        const ControllerPort back = port(QStringLiteral("/p/%1||S1").arg(round));
        if (round == 3) { // one failed open on the way, retried a second later
            QCOMPARE(describe(policy.poll({back}, t + 100, false)),
                     QStringLiteral("Reconnect ") + back.portName);
            QVERIFY(policy.attemptFailed(t + 100));
            QCOMPARE(describe(policy.poll({back}, t + 600, false)), QStringLiteral("None"));
        }
        const ReconnectPolicy::Decision d = policy.poll({back}, t + 1500, false);
        QCOMPARE(describe(d), QStringLiteral("Reconnect ") + back.portName);
        policy.connected(d.target);
        QCOMPARE(policy.controller(), back);
        t += 60000; // far beyond any earlier window
    }
    policy.userDisconnected();
    QVERIFY(!policy.lost({}, t, false));
}

void tst_Reconnect::selectDevice_takesOverTheEntryLeftFromBeforeTheUnplug()
{
    SimulatedController sim(QStringLiteral("ZT-3"));
    SimulatedController other(QStringLiteral("QRX-20"));
    SimulatedDeviceSource source({&other, &sim});
    const ScopedDeviceSource scoped(&source);
    QComboBox list;
    SerialPort link(&list, QStringLiteral("Veltrano"), nullptr);
    QCOMPARE(list.count(), 2);
    list.setCurrentIndex(0);
    const QString before = sim.portName();

    // Back under another name before a scan missed it: the scan keeps the
    // entry under the old name, the selection re-points it.
    sim.vanish();
    QVERIFY(sim.plugIn());
    QVERIFY(sim.portName() != before);
    link.initPort();
    QCOMPARE(list.itemData(1).toString(), before);
    const ControllerPort back{sim.portName(), sim.usbDescription(), sim.serialNumber()};
    QVERIFY(link.selectDevice(back));
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.currentIndex(), 1);
    QCOMPARE(list.currentData().toString(), sim.portName());
    QCOMPARE(list.itemData(1, Qt::ToolTipRole).toString(), sim.portName());
    QCOMPARE(link.presentControllers().value(1), back);

    // An entry that stands for a present controller is never taken over.
    list.setCurrentIndex(0);
    QVERIFY(!link.selectDevice({QStringLiteral("/dev/none"), sim.usbDescription(), QString()}));
    QCOMPARE(list.currentIndex(), 0);
    QCOMPARE(list.itemData(1).toString(), sim.portName());
}

void tst_Reconnect::window_replugWithinWindow_reconnectsKeepingPedalSlotAndPage()
{
    FastRig fast(QStringLiteral("ZT-3"));
    ControllerRig &rig = fast.rig;
    rig.controller.behaviour().setPedalCount(3);
    // Pedal 2, message 5: a switch sending Program Change, not the factory CC.
    PedalMessage stored;
    stored.pedal = 1;
    stored.message = 4;
    stored.pedalType = PedalTypeSwitch;
    stored.event = EventProgramChange;
    stored.channel = 3;
    stored.valueB = 100;
    rig.controller.behaviour().store(stored.toFields());
    Widget &w = *rig.window;
    Ui::Widget *ui = rig.ui;
    QSignalSpy firmwareChecks(&w, &Widget::firmwareCheckDue);
    QVERIFY(rig.connect());
    QTRY_COMPARE(firmwareChecks.size(), 1);

    ui->Pedal_Number->setCurrentIndex(1);
    ui->Message_Number->setCurrentIndex(4);
    ui->checkButton->click();
    QTRY_VERIFY(lineOf(w).endsWith(QStringLiteral("Message 5 of pedal 2 loaded")));
    const int typePage = ui->pedal_type_stack->currentIndex();
    const int switchPage = ui->switch_stackedWidget->currentIndex();
    QCOMPARE(typePage, 1);
    QVERIFY(switchPage != 0); // a reconnect that only rebuilt the lists would show CC
    const QString oldPort = rig.link()->portName();
    rig.controller.clearRecords();

    rig.controller.vanish();
    QTRY_VERIFY(!rig.link()->isOpen());
    QCOMPARE(lineOf(w), QStringLiteral("Not connected | Controller on %1 unplugged; waiting up "
                                       "to 4 s for it to return")
                            .arg(oldPort));
    QSignalSpy holders(rig.link(), &SerialPort::holderChanged);
    QVERIFY(rig.controller.plugIn());
    QVERIFY(holders.wait(2000));
    QCOMPARE(holders.first().first().value<SerialPort::Holder>(),
             SerialPort::Holder::MainWindow);
    const QString newPort = rig.link()->portName();
    QTRY_VERIFY(rig.controller.isHostConnected());
    QCOMPARE(ui->comboBox_ComDevices->currentData().toString(), rig.controller.portName());
    QCOMPARE(ui->connectButton->text(), QStringLiteral("Disconnect"));

    // The start-up exchange once more, the ask naming the kept pedal and slot.
    QTRY_COMPARE_WITH_TIMEOUT(rig.commands(ControllerCommand::Version).size(), 1, 3000);
    QCOMPARE(rig.commands(ControllerCommand::Handshake),
             QList<QByteArray>{QByteArray::fromHex("F000215E0101F7")});
    QCOMPARE(hex(rig.commands(ControllerCommand::Ask).value(0)),
             QStringLiteral("f0 00 21 5e 04 04 01 04 f7"));
    QCOMPARE(rig.commands(ControllerCommand::Identity).size(), 1);
    const QString head = QStringLiteral("Reconnected to %1 | ZT-3 firmware V%2 | 3 pedals")
                             .arg(newPort, rig.controller.behaviour().firmwareVersion());
    QTRY_COMPARE(lineOf(w), head + QStringLiteral(" | Message 5 of pedal 2 loaded"));
    QCOMPARE(ui->Pedal_Number->currentIndex(), 1);
    QCOMPARE(ui->Message_Number->currentIndex(), 4);
    QCOMPARE(ui->pedal_type_stack->currentIndex(), typePage);
    QCOMPARE(ui->switch_stackedWidget->currentIndex(), switchPage);
    QVERIFY(rig.boxes.seen().isEmpty());
    QCOMPARE(firmwareChecks.size(), 1); // no second firmware offer for the same controller

    // Armed again: a second unplug is waited for too; a Disconnect is an
    // ordinary connection's end, said as ever.
    rig.controller.vanish();
    QTRY_VERIFY(lineOf(w).endsWith(QStringLiteral("waiting up to 4 s for it to return")));
    QVERIFY(rig.controller.plugIn());
    QTRY_VERIFY(rig.controller.isHostConnected());
    QTRY_VERIFY(lineOf(w).startsWith(QStringLiteral("Reconnected to ") + rig.link()->portName()));
    ui->connectButton->click();
    QVERIFY(lineOf(w).startsWith(QStringLiteral("Not connected")));
    ui->connectButton->click();
    QTRY_VERIFY(lineOf(w).startsWith(QStringLiteral("Connected to ")));
}

void tst_Reconnect::window_replugAfterWindow_staysDisconnected()
{
    FastRig fast(QStringLiteral("ZT-1"), 300);
    ControllerRig &rig = fast.rig;
    QVERIFY(rig.connect());
    const QString oldPort = rig.link()->portName();
    rig.controller.vanish();
    QTRY_COMPARE(lineOf(*rig.window),
                 QStringLiteral("Not connected | Controller on %1 did not return within 1 s")
                     .arg(oldPort));
    QVERIFY(rig.controller.plugIn());
    QTRY_COMPARE_WITH_TIMEOUT(rig.ui->comboBox_ComDevices->count(), 1, 2000);
    QVERIFY(noReconnectFollows(rig));
}

void tst_Reconnect::window_afterUserDisconnect_noReconnect()
{
    FastRig fast(QStringLiteral("QRX-20"));
    ControllerRig &rig = fast.rig;
    QVERIFY(rig.connect());
    rig.ui->connectButton->click();
    QVERIFY(!rig.link()->isOpen());
    const QString line = lineOf(*rig.window);
    QVERIFY(line.startsWith(QStringLiteral("Not connected")));
    rig.controller.vanish();
    QTRY_COMPARE_WITH_TIMEOUT(rig.ui->comboBox_ComDevices->count(), 0, 2000);
    QVERIFY(rig.controller.plugIn());
    QTRY_COMPARE_WITH_TIMEOUT(rig.ui->comboBox_ComDevices->count(), 1, 2000);
    QVERIFY(noReconnectFollows(rig));
    QCOMPARE(lineOf(*rig.window), line);
}

void tst_Reconnect::window_upgradeHoldsLink_noReconnectEvenAfterRelease()
{
    FastRig fast(QStringLiteral("ZT-3"), 10000);
    ControllerRig &rig = fast.rig;
    SimulatedController bootloader(QStringLiteral("QRX-30"));
    bootloader.setMode(SimulatedController::Mode::Upgrade);
    rig.source.addController(&bootloader);
    upgrade_dialog *dialog = rig.window->upgradeDialog();
    QVERIFY(fast.connectAndUnplug());
    QCOMPARE(lineOf(*rig.window).section(QStringLiteral(" | "), 1),
             StatusLine::waitingNote(rig.link()->portName(), 10000));
    dialog->refreshDeviceList();
    QCOMPARE(dialog->ui->comboBox->count(), 1);
    dialog->ui->pushButton->click();
    QCOMPARE(rig.link()->holder(), SerialPort::Holder::FirmwareUpgrade);
    QVERIFY(rig.controller.plugIn());
    QTRY_COMPARE_WITH_TIMEOUT(rig.ui->comboBox_ComDevices->count(), 1, 2000);
    QCOMPARE(rig.link()->holder(), SerialPort::Holder::FirmwareUpgrade);
    QTRY_VERIFY(bootloader.isHostConnected());

    // The dialog lets go well within the window: the window stays closed.
    dialog->ui->pushButton->click();
    QCOMPARE(rig.link()->holder(), SerialPort::Holder::Nobody);
    QVERIFY(noReconnectFollows(rig));
}

void tst_Reconnect::window_otherControllerIgnored_ownOneReconnected()
{
    FastRig fast(QStringLiteral("ZT-3"));
    ControllerRig &rig = fast.rig;
    QVERIFY(fast.connectAndUnplug());

    // Same model, same description, another serial number.
    SimulatedController other(QStringLiteral("ZT-3"));
    QVERIFY(other.serialNumber() != rig.controller.serialNumber());
    rig.source.addController(&other);
    QSignalSpy holders(rig.link(), &SerialPort::holderChanged);
    QTRY_COMPARE_WITH_TIMEOUT(rig.ui->comboBox_ComDevices->count(), 1, 2000);
    QVERIFY(!holders.wait(400));
    QVERIFY(!other.isHostConnected());

    QVERIFY(rig.controller.plugIn());
    QVERIFY(holders.wait(2000));
    QTRY_VERIFY(rig.controller.isHostConnected());
    QCOMPARE(rig.ui->comboBox_ComDevices->currentData().toString(), rig.controller.portName());
    QVERIFY(other.commandsOf(ControllerCommand::Handshake).isEmpty());
}

void tst_Reconnect::window_unusableArrivals_saySoWithoutBox_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<bool>("withSerial"); // the lost controller's serial number, or none
    QTest::addColumn<QStringList>("notes");

    const QString path = QStringLiteral("/nonexistent/ttyACM7");
    QTest::newRow("cannot be opened: three tries")
        << QStringList{path} << true
        << QStringList{"Could not reconnect to " + path + "; trying again",
                       "Could not reconnect to " + path + "; press Connect to try again"};
    QTest::newRow("two like it, no serial numbers")
        << QStringList{path, "/nonexistent/ttyACM8"} << false
        << QStringList{"Several controllers like the unplugged one appeared ("
                       "/nonexistent/ttyACM7, /nonexistent/ttyACM8): choose one and press "
                       "Connect"};
}

void tst_Reconnect::window_unusableArrivals_saySoWithoutBox()
{
    QFETCH(QStringList, paths);
    QFETCH(bool, withSerial);
    QFETCH(QStringList, notes);

    FastRig fast(QStringLiteral("ZT-3"));
    ControllerRig &rig = fast.rig;
    QVERIFY(fast.connectAndUnplug());

    QStringList seen;
    auto *line = rig.window->findChild<QLabel *>(QStringLiteral("statusLine"));
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString note = line->text().section(QStringLiteral(" | "), 1);
        if (seen.isEmpty() || seen.last() != note)
            seen.append(note);
    });
    watch.start(5);
    for (const QString &p : paths)
        addUnopenable(rig.source, rig.controller, p,
                      withSerial ? rig.controller.serialNumber() : QString());
    QTRY_VERIFY_WITH_TIMEOUT(seen.contains(notes.last()), 3000);
    watch.stop();
    for (const QString &note : notes)
        QVERIFY2(seen.contains(note), qPrintable(seen.join('\n')));
    QVERIFY(!rig.link()->isOpen());
    QCOMPARE(rig.ui->connectButton->text(), QStringLiteral("Connect"));
    QVERIFY2(rig.boxes.seen().isEmpty(), qPrintable(rig.boxes.texts().join('\n')));

    // Nothing more is tried: the window has ended.
    QVERIFY(rig.controller.plugIn());
    QVERIFY(noReconnectFollows(rig));
    QCOMPARE(line->text().section(QStringLiteral(" | "), 1), notes.last());
}

QTEST_MAIN(tst_Reconnect)
#include "tst_reconnect.moc"
