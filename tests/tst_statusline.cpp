// The status line: its texts from link state, identity, replies and refused
// commands (table-driven), and the window's line through a real connection.
#include "app/statusline.h"
#include "app/widget.h"
#include "device/serialport.h"
#include "sim/controllerbehaviour.h"
#include "support/controllerrig.h"
#include "support/fakedevicesource.h"
#include "support/scopedcurrentdir.h"
#include "ui_upgrade_dialog.h"
#include "ui_widget.h"
#include "upgrade/upgrade_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(StatusLine::State)
Q_DECLARE_METATYPE(StatusLine::Command)
using WindowCommand = std::function<void(Widget &)>;
Q_DECLARE_METATYPE(WindowCommand)

namespace {

using Link = StatusLine::Link;
using Command = StatusLine::Command;

StatusLine::State state(Link link, const QString &port, const QString &model,
                        const QString &version, int pedals, const QString &note = QString())
{
    StatusLine::State s;
    s.link = link;
    s.port = port;
    s.model = model;
    s.version = version;
    s.pedals = pedals;
    s.note = note;
    return s;
}

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

/// A 24-byte configuration reply for a pedal and message slot (indexes).
QByteArray configurationReply(int pedal, int message)
{
    QByteArray frame(24, '\0');
    const QByteArray head = bytes({0xF0, 0x00, 0x21, 0x5E, 0x10, 0x04, pedal, message, 1});
    frame.replace(0, head.size(), head);
    frame[23] = char(0xF7);
    return frame;
}

QString lineOf(const Widget &w)
{
    auto *line = w.findChild<QLabel *>(QStringLiteral("statusLine"));
    return line ? line->text() : QStringLiteral("<no status line>");
}

} // namespace

class tst_StatusLine : public QObject
{
    Q_OBJECT

private slots:
    void text_joinsWhatIsKnown_data();
    void text_joinsWhatIsKnown();
    void replyNote_namesTheSlotAndVerdict_data();
    void replyNote_namesTheSlotAndVerdict();
    void notConnectedNote_namesEachCommand();
    void reconnectNotes_sayWhatTheWaitCameTo_data();
    void reconnectNotes_sayWhatTheWaitCameTo();

    void window_growsByTheLineBelowAnUnchangedForm();
    void window_followsConnectIdentityRepliesAndUnplug();
    void window_commandsWhileDisconnectedSaySo_data();
    void window_commandsWhileDisconnectedSaySo();
    void window_saysWhenTheUpgradeHoldsTheLink();
};

void tst_StatusLine::text_joinsWhatIsKnown_data()
{
    QTest::addColumn<StatusLine::State>("state");
    QTest::addColumn<QString>("text");
    const QString port = QStringLiteral("ttyACM0");
    QTest::newRow("start") << StatusLine::State() << "Not connected";
    QTest::newRow("closed keeps the note")
        << state(Link::Closed, port, {}, {}, -1, "Controller on ttyACM0 unplugged")
        << "Not connected | Controller on ttyACM0 unplugged";
    QTest::newRow("just opened") << state(Link::Window, port, "xx", "xx", -1)
                                 << "Connected to ttyACM0";
    QTest::newRow("no port name") << state(Link::Window, {}, {}, {}, -1) << "Connected";
    QTest::newRow("model before version") << state(Link::Window, port, "QRX-30", "xx", 3)
                                          << "Connected to ttyACM0 | QRX-30 | 3 pedals";
    QTest::newRow("version before model") << state(Link::Window, port, "xx", "V1.2", -1)
                                          << "Connected to ttyACM0 | firmware V1.2";
    QTest::newRow("everything")
        << state(Link::Window, port, "ZT-3", "V2.0.1", 2, "Message 3 of pedal 1 saved")
        << "Connected to ttyACM0 | ZT-3 firmware V2.0.1 | 2 pedals | Message 3 of pedal 1 saved";
    QTest::newRow("one pedal") << state(Link::Window, port, "ZT-1", "V1.0", 1)
                               << "Connected to ttyACM0 | ZT-1 firmware V1.0 | 1 pedal";
    QTest::newRow("no pedals") << state(Link::Window, port, {}, {}, 0)
                               << "Connected to ttyACM0 | 0 pedals";
    StatusLine::State back =
        state(Link::Window, port, "ZT-3", "V2.0.1", 2, "Controller has 2 pedals");
    back.reconnected = true;
    QTest::newRow("reconnected")
        << back
        << "Reconnected to ttyACM0 | ZT-3 firmware V2.0.1 | 2 pedals | Controller has 2 pedals";
    back.port.clear();
    QTest::newRow("reconnected, no port name") << back
        << "Reconnected | ZT-3 firmware V2.0.1 | 2 pedals | Controller has 2 pedals";
    back.link = Link::Closed;
    back.note = "Controller on ttyACM1 unplugged";
    QTest::newRow("closed after a reconnect")
        << back << "Not connected | Controller on ttyACM1 unplugged";
    QTest::newRow("upgrade hides the window's identity")
        << state(Link::Upgrade, port, "ZT-3", "2.0.1", 2)
        << "In use by firmware upgrade";
}

void tst_StatusLine::text_joinsWhatIsKnown()
{
    QFETCH(StatusLine::State, state);
    QFETCH(QString, text);
    QCOMPARE(StatusLine::text(state), text);
}

void tst_StatusLine::replyNote_namesTheSlotAndVerdict_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<StatusLine::Command>("last");
    QTest::addColumn<QString>("note");
    const Command none;
    const Command set{Command::Set, 0, 2};
    const auto setReply = [](int status) {
        return bytes({0xF0, 0x00, 0x21, 0x5E, 0x10, 0x03, 0x00, status, 0xF7});
    };
    QTest::newRow("handshake") << 0 << bytes({0xF0, 0x00, 0x21, 0x5E, 0x01, 3, 0xF7}) << none
                               << "Controller has 3 pedals";
    QTest::newRow("handshake, one") << 0 << bytes({0xF0, 0x00, 0x21, 0x5E, 0x01, 1, 0xF7})
                                    << none << "Controller has 1 pedal";
    QTest::newRow("six-byte status") << 0 << bytes({0xF0, 0x00, 0x21, 0x5E, 0x05, 0xF7}) << none
                                     << "";
    QTest::newRow("count out of range") << 0 << bytes({0xF0, 0x00, 0x21, 0x5E, 0x01, 10, 0xF7})
                                        << none << "";
    QTest::newRow("set ok") << 1 << setReply(0) << set << "Message 3 of pedal 1 saved";
    QTest::newRow("set ok, no pedal selected")
        << 1 << setReply(0) << Command{Command::Set, -1, 15} << "Message 16 saved";
    QTest::newRow("set ok, unknown command") << 1 << setReply(0) << none << "Message saved";
    QTest::newRow("set refused") << 1 << setReply(2) << set
                                 << "Message 3 of pedal 1 not saved: Wrong pedal type!";
    QTest::newRow("tempo refusal loses the trailing blank")
        << 1 << setReply(3) << set
        << "Message 3 of pedal 1 not saved: Only one message configuration can be set in Tempo "
           "mode.";
    QTest::newRow("other status") << 1 << setReply(9) << set
                                  << "Message 3 of pedal 1 not saved (status 9)";
    QTest::newRow("set reply cut short") << 1 << bytes({0xF0, 0x00, 0x21, 0x5E, 0x10, 0x03, 0x00})
                                         << set << "";
    QTest::newRow("configuration") << 2 << configurationReply(1, 4) << none
                                   << "Message 5 of pedal 2 loaded";
    QTest::newRow("configuration, 23 bytes") << 2 << configurationReply(0, 15).left(23) << set
                                             << "Message 16 of pedal 1 loaded";
    QTest::newRow("configuration too short") << 2 << configurationReply(0, 0).left(12) << none
                                             << "Reply without a stored message";
    const QByteArray deleted = bytes({0xF0, 0x00, 0x21, 0x5E, 0x03, 0x05, 0x00, 0xF7});
    QTest::newRow("delete") << 3 << deleted << Command{Command::Delete, 2, -1}
                            << "Messages of pedal 3 deleted";
    QTest::newRow("delete, no pedal") << 3 << deleted << Command{Command::Delete, -1, -1}
                                      << "Delete confirmed";
    QTest::newRow("factory reset") << 3 << deleted << Command{Command::FactoryReset, -1, -1}
                                   << "Factory settings restored";
    QTest::newRow("live event") << 4 << bytes({0x0B, 0xB0, 7, 100}) << set << "";
    QTest::newRow("unknown type") << 7 << deleted << set << "";
}

void tst_StatusLine::replyNote_namesTheSlotAndVerdict()
{
    QFETCH(int, type);
    QFETCH(QByteArray, frame);
    QFETCH(StatusLine::Command, last);
    QFETCH(QString, note);
    QCOMPARE(StatusLine::replyNote(type, frame, last), note);
}

void tst_StatusLine::notConnectedNote_namesEachCommand()
{
    using A = StatusLine::Action;
    QCOMPARE(StatusLine::notConnectedNote(A::Set),
             QStringLiteral("Not sent: connect a controller to set a message"));
    QCOMPARE(StatusLine::notConnectedNote(A::Check),
             QStringLiteral("Not sent: connect a controller to read a message"));
    QCOMPARE(StatusLine::notConnectedNote(A::Delete),
             QStringLiteral("Not sent: connect a controller to delete messages"));
    QCOMPARE(StatusLine::lostNote("pts/3"), QStringLiteral("Controller on pts/3 unplugged"));
    QCOMPARE(StatusLine::lostNote({}), QStringLiteral("Controller unplugged"));
}

void tst_StatusLine::reconnectNotes_sayWhatTheWaitCameTo_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("text");
    using namespace StatusLine;
    QTest::newRow("waiting") << waitingNote("COM5", 30000)
                             << "Controller on COM5 unplugged; waiting up to 30 s for it to return";
    QTest::newRow("waiting, seconds rounded up") << waitingNote("COM5", 1001)
                             << "Controller on COM5 unplugged; waiting up to 2 s for it to return";
    QTest::newRow("waiting, no port")
        << waitingNote({}, 30000) << "Controller unplugged; waiting up to 30 s for it to return";
    QTest::newRow("not back") << notReturnedNote("ttyACM0", 30000)
                              << "Controller on ttyACM0 did not return within 30 s";
    QTest::newRow("not back, no port") << notReturnedNote({}, 500)
                                       << "Controller did not return within 1 s";
    QTest::newRow("several") << ambiguousNote({"COM5", "COM7"})
                             << "Several controllers like the unplugged one appeared (COM5, COM7): "
                                "choose one and press Connect";
    QTest::newRow("open failed, again") << reconnectFailedNote("COM5", true)
                                        << "Could not reconnect to COM5; trying again";
    QTest::newRow("open failed, last") << reconnectFailedNote("COM5", false)
                                       << "Could not reconnect to COM5; press Connect to try again";
    QTest::newRow("open failed, no port") << reconnectFailedNote({}, false)
                                          << "Could not reconnect to the controller; press Connect "
                                             "to try again";
}

void tst_StatusLine::reconnectNotes_sayWhatTheWaitCameTo()
{
    QFETCH(QString, note);
    QFETCH(QString, text);
    QCOMPARE(note, text);
}

void tst_StatusLine::window_growsByTheLineBelowAnUnchangedForm()
{
    FakeDeviceSource nothing;
    const ScopedDeviceSource scoped(&nothing);
    const ScopedCurrentDir dir;
    Widget w;
    const int growth = w.statusLineGrowth();
    auto *line = w.findChild<QLabel *>(QStringLiteral("statusLine"));
    QVERIFY(line);
    QVERIFY(growth > line->maximumHeight());
    QVERIFY(growth < 50);
    QCOMPARE(w.minimumSize(), QSize(870, 750 + growth));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), QSize(870, 750 + growth));
    QVERIFY(line->isVisible());
    QCOMPARE(line->text(), QStringLiteral("Not connected"));
    // Under the pedal page, inside the window, as wide as the page.
    auto *stack = w.findChild<QStackedWidget *>(QStringLiteral("pedal_type_stack"));
    QVERIFY(line->geometry().top() >= stack->geometry().bottom());
    QVERIFY(w.rect().contains(line->geometry()));
    QCOMPARE(line->width(), stack->width());
}

void tst_StatusLine::window_followsConnectIdentityRepliesAndUnplug()
{
    const ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("QRX-30"));
    Widget &w = *rig.window;
    QCOMPARE(lineOf(w), QStringLiteral("Not connected"));
    QVERIFY(rig.connect());
    const QString port = rig.link()->portName();
    const QString model = rig.controller.model().name;
    const QString version = rig.controller.model().firmwareVersion;
    const int pedals = rig.controller.behaviour().pedalCount();
    const QString head = QStringLiteral("Connected to %1 | %2 firmware V%3 | %4 pedals")
                             .arg(port, model, version)
                             .arg(pedals);
    QTRY_COMPARE(lineOf(w).left(head.size()), head);
    QVERIFY2(lineOf(w).endsWith(QStringLiteral("Message 1 of pedal 1 loaded")),
             qPrintable(lineOf(w)));

    rig.ui->Message_Number->setCurrentIndex(2);
    rig.ui->setButton_6->click();
    QTRY_COMPARE(lineOf(w), head + QStringLiteral(" | Message 3 of pedal 1 saved"));
    rig.ui->checkButton->click();
    QTRY_COMPARE(lineOf(w), head + QStringLiteral(" | Message 3 of pedal 1 loaded"));
    rig.ui->pushButton->click();
    QTRY_COMPARE(lineOf(w), head + QStringLiteral(" | Messages of pedal 1 deleted"));

    // A Disconnect is no loss; an unplugged controller is.
    rig.ui->connectButton->click();
    QCOMPARE(lineOf(w), QStringLiteral("Not connected | Messages of pedal 1 deleted"));
    rig.ui->connectButton->click();
    QTRY_COMPARE(lineOf(w).left(head.size()), head);
    rig.controller.vanish();
    QTRY_COMPARE(lineOf(w), QStringLiteral("Not connected | Controller on %1 unplugged; waiting up "
                                           "to 30 s for it to return")
                                .arg(port));
}

void tst_StatusLine::window_commandsWhileDisconnectedSaySo_data()
{
    QTest::addColumn<WindowCommand>("command");
    QTest::addColumn<QString>("note");
    const auto ui = [](Widget &w) { return w.form(); };
    QTest::newRow("Set (Ctrl+Return on a disabled button)")
        << WindowCommand([](Widget &w) { w.on_setButton_6_clicked(); })
        << "Not sent: connect a controller to set a message";
    QTest::newRow("Check (F5 on a disabled button)")
        << WindowCommand([](Widget &w) { w.on_checkButton_clicked(); })
        << "Not sent: connect a controller to read a message";
    QTest::newRow("Delete on the expression page")
        << WindowCommand([ui](Widget &w) { ui(w)->pushButton->click(); })
        << "Not sent: connect a controller to delete messages";
    QTest::newRow("Delete on the hi-hat page")
        << WindowCommand([ui](Widget &w) { ui(w)->pushButton_2->click(); })
        << "Not sent: connect a controller to delete messages";
}

void tst_StatusLine::window_commandsWhileDisconnectedSaySo()
{
    QFETCH(WindowCommand, command);
    QFETCH(QString, note);
    const ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("ZT-3"));
    command(*rig.window);
    QCOMPARE(lineOf(*rig.window), QStringLiteral("Not connected | ") + note);
    QVERIFY(!rig.controller.isHostConnected());
}

void tst_StatusLine::window_saysWhenTheUpgradeHoldsTheLink()
{
    const ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("ZT-3"));
    SimulatedController bootloader(QStringLiteral("ZT-3"));
    bootloader.setMode(SimulatedController::Mode::Upgrade);
    rig.source.addController(&bootloader);
    upgrade_dialog *dialog = rig.window->upgradeDialog();
    QMetaObject::invokeMethod(rig.window.get(), "show_ug_dlg_Dialog");
    QVERIFY(rig.connect());
    dialog->ui->pushButton->click();
    QCOMPARE(rig.link()->holder(), SerialPort::Holder::FirmwareUpgrade);
    QCOMPARE(lineOf(*rig.window), QStringLiteral("In use by firmware upgrade"));
    // The window's commands are not sent, and say so beside the holder.
    rig.window->on_setButton_6_clicked();
    QCOMPARE(lineOf(*rig.window),
             QStringLiteral("In use by firmware upgrade | Not sent: connect a controller to set "
                            "a message"));
    dialog->close();
    QTRY_COMPARE(rig.link()->holder(), SerialPort::Holder::Nobody);
    QVERIFY(lineOf(*rig.window).startsWith(QStringLiteral("Not connected")));
    rig.source.removeController(&bootloader);
}

QTEST_MAIN(tst_StatusLine)
#include "tst_statusline.moc"
