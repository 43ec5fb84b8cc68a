// Connecting to a controller over a real serial path: the main window, its
// link and a simulated controller behind a pseudo-terminal.
#include "app/widget.h"
#include "device/serialport.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "support/modalwatcher.h"
#include "ui_widget.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

using Kind = ControllerCommand::Kind;

qint64 firstTime(const SimulatedController &sim, Kind kind)
{
    for (const SimulatedController::TimedCommand &c : sim.commands())
        if (c.command.kind == kind)
            return c.ms;
    return -1;
}

QList<Kind> commandKinds(const SimulatedController &sim)
{
    QList<Kind> kinds;
    for (const SimulatedController::TimedCommand &c : sim.commands())
        kinds.append(c.command.kind);
    return kinds;
}

QList<QWidget *> modelWidgets(Ui::Widget *ui)
{
    return {ui->widget_8, ui->widget_10, ui->groupBox_16, ui->groupBox_2,
            ui->expression_trigger_level, ui->expression_cc_comboBox_ql,
            ui->expression_note_comboBox_ql, ui->expression_pitch_comboBox_ql,
            ui->expression_ch_comboBox_ql, ui->hat_cc_comboBox_ql, ui->hat_note_comboBox_ql};
}

} // namespace

class tst_Connection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void connect_sendsHandshakeAskAndIdentityInOrder();
    void connect_learnsPedalCountAndIdentityOnce();
    void connect_qrx20ShowsModelWidgets();
    void disconnect_resetsControls();
    void unplug_closesOnceAndScanDropsItem();
    void plugIn_listGainsItemWithinASecond();
    void sameIds_eachListedWithItsOwnPort();
    void foreignPort_neverListed();
    void emptySelection_showsPortNameError();
    void openFails_showsDeviceErrorAppliesNoModel();

private:
    SimulatedDeviceSource *source = nullptr;

    /// Connects the window to its first device-list entry.
    static void connectFirst(Widget &w)
    {
        Ui::Widget *ui = w.form();
        QTRY_VERIFY(ui->comboBox_ComDevices->count() > 0);
        ui->comboBox_ComDevices->setCurrentIndex(0);
        ui->connectButton->click();
    }
    static SerialPort *link(Widget &w) { return w.findChild<SerialPort *>(); }
};

void tst_Connection::init()
{
    source = new SimulatedDeviceSource;
    DeviceSource::setCurrent(source);
}

void tst_Connection::cleanup()
{
    DeviceSource::setCurrent(nullptr);
    delete source;
    source = nullptr;
}

void tst_Connection::connect_sendsHandshakeAskAndIdentityInOrder()
{
    SimulatedController sim("ZT-3");
    source->addController(&sim);
    Widget w;
    QTRY_VERIFY(w.form()->comboBox_ComDevices->count() > 0);
    const qint64 t0 = sim.elapsedMs();
    connectFirst(w);
    QVERIFY(link(w)->isOpen());

    QTRY_VERIFY_WITH_TIMEOUT(firstTime(sim, Kind::Version) >= 0, 3000);
    const QList<Kind> kinds = commandKinds(sim);
    QCOMPARE(kinds.mid(0, 4),
             (QList<Kind>{Kind::Handshake, Kind::Ask, Kind::Identity, Kind::Version}));
    QCOMPARE(sim.commandsOf(Kind::Handshake).first().toHex(' '), QByteArray("f0 00 21 5e 01 01 f7"));
    QCOMPARE(sim.commandsOf(Kind::Identity).first().toHex(' '), QByteArray("aa cc 02 00 01 0d 0a"));
    QCOMPARE(sim.commandsOf(Kind::Version).first().toHex(' '), QByteArray("aa cc 02 00 03 0d 0a"));

    // Times are when the controller read the bytes, measured from the click;
    // coarse timers may fire up to 5 % early, a loaded machine reads late.
    const qint64 handshake = firstTime(sim, Kind::Handshake) - t0;
    const qint64 ask = firstTime(sim, Kind::Ask) - t0;
    const qint64 identity = firstTime(sim, Kind::Identity) - t0;
    QVERIFY2(handshake < 450, qPrintable(QString::number(handshake)));
    QVERIFY2(ask >= 470 && ask < 1500, qPrintable(QString::number(ask)));
    QVERIFY2(identity >= 570 && identity < 1600, qPrintable(QString::number(identity)));
    QVERIFY(identity > ask);
}

void tst_Connection::connect_learnsPedalCountAndIdentityOnce()
{
    SimulatedController sim("ZT-3");
    sim.behaviour().setPedalCount(3);
    source->addController(&sim);
    Widget w;
    QSignalSpy checks(&w, &Widget::firmwareCheckDue);
    connectFirst(w);
    Ui::Widget *ui = w.form();

    QTRY_COMPARE(ui->Pedal_Number->count(), 3);
    QCOMPARE(ui->Pedal_Number->itemText(2), QStringLiteral("3"));
    QCOMPARE(ui->Pedal_Number->currentIndex(), 0);
    // The ask goes out after the pedal count came, so it names the pedal "1".
    QTRY_VERIFY_WITH_TIMEOUT(!sim.commandsOf(Kind::Ask).isEmpty(), 2000);
    QCOMPARE(sim.commandsOf(Kind::Ask).first().toHex(' '),
             QByteArray("f0 00 21 5e 04 04 00 00 f7"));

    QVERIFY(checks.wait(3000));
    QCOMPARE(checks.first().first().toString(), QStringLiteral("ZT-3"));
    // More identity replies in the same connection start no second check.
    sim.send(ControllerBehaviour::identityReply("ZT-3"));
    sim.send(ControllerBehaviour::versionReply(sim.behaviour().firmwareVersion()), 20);
    QTest::qWait(200);
    QCOMPARE(checks.size(), 1);
}

void tst_Connection::connect_qrx20ShowsModelWidgets()
{
    SimulatedController sim("QRX-20");
    source->addController(&sim);
    Widget w;
    w.show();
    connectFirst(w);
    for (QWidget *x : modelWidgets(w.form()))
        QVERIFY2(!x->isHidden(), qPrintable(x->objectName()));
}

void tst_Connection::disconnect_resetsControls()
{
    SimulatedController sim("QRX-10");
    source->addController(&sim);
    Widget w;
    connectFirst(w);
    Ui::Widget *ui = w.form();
    QCOMPARE(ui->connectButton->text(), QStringLiteral("Disconnect"));
    QVERIFY(!ui->comboBox_ComDevices->isEnabled());
    QVERIFY(ui->setButton_6->isEnabled());

    ui->connectButton->click();
    QVERIFY(!link(w)->isOpen());
    QCOMPARE(ui->connectButton->text(), QStringLiteral("Connect"));
    QVERIFY(ui->comboBox_ComDevices->isEnabled());
    QVERIFY(!ui->setButton_6->isEnabled());
    for (QWidget *x : modelWidgets(ui))
        QVERIFY2(x->isHidden(), qPrintable(x->objectName()));
    QTRY_VERIFY(!sim.isHostConnected());
}

void tst_Connection::unplug_closesOnceAndScanDropsItem()
{
    SimulatedController sim("ZT-1");
    source->addController(&sim);
    Widget w;
    connectFirst(w);
    SerialPort *port = link(w);
    QVERIFY(port->isOpen());
    QTRY_VERIFY(sim.isHostConnected());

    QSignalSpy closes(port, &QIODevice::aboutToClose);
    QSignalSpy errors(port, &QSerialPort::errorOccurred);
    sim.vanish();
    QTRY_VERIFY(!port->isOpen());
    QCOMPARE(w.form()->connectButton->text(), QStringLiteral("Connect"));
    QVERIFY(w.form()->comboBox_ComDevices->isEnabled());
    QVERIFY(!w.form()->setButton_9->isEnabled());

    // No error storm once the port is closed.
    QTest::qWait(300);
    QCOMPARE(closes.size(), 1);
    int realErrors = 0;
    for (const QList<QVariant> &e : qAsConst(errors))
        realErrors += e.first().value<QSerialPort::SerialPortError>() != QSerialPort::NoError;
    QVERIFY2(realErrors <= 2, qPrintable(QString::number(realErrors)));

    // The next scan finds the controller gone.
    QTRY_COMPARE_WITH_TIMEOUT(w.form()->comboBox_ComDevices->count(), 0, 1500);
}

void tst_Connection::plugIn_listGainsItemWithinASecond()
{
    Widget w;
    Ui::Widget *ui = w.form();
    QCOMPARE(ui->comboBox_ComDevices->count(), 0);
    SimulatedController sim("QRX-30");
    source->addController(&sim);
    QTRY_COMPARE_WITH_TIMEOUT(ui->comboBox_ComDevices->count(), 1, 1500);
    QCOMPARE(ui->comboBox_ComDevices->itemText(0), sim.model().usbDescription);
    QCOMPARE(ui->comboBox_ComDevices->itemData(0).toString(), sim.portName());

    source->removeController(&sim);
    QTRY_COMPARE_WITH_TIMEOUT(ui->comboBox_ComDevices->count(), 0, 1500);
}

void tst_Connection::sameIds_eachListedWithItsOwnPort()
{
    SimulatedController first("ZT-3");
    SimulatedController second("ZT-3");
    source->addController(&first);
    source->addController(&second);
    Widget w;
    Ui::Widget *ui = w.form();
    QCOMPARE(ui->comboBox_ComDevices->count(), 2);
    QCOMPARE(ui->comboBox_ComDevices->itemData(0).toString(), first.portName());
    QCOMPARE(ui->comboBox_ComDevices->itemData(1).toString(), second.portName());
    QCOMPARE(ui->comboBox_ComDevices->itemText(1), ui->comboBox_ComDevices->itemText(0));
    // Same text; the tool tips name the ports that tell them apart.
    for (int i = 0; i < 2; ++i)
        QCOMPARE(ui->comboBox_ComDevices->itemData(i, Qt::ToolTipRole).toString(),
                 ui->comboBox_ComDevices->itemData(i).toString());

    // The first one goes: only its entry goes, the second stays reachable.
    source->removeController(&first);
    QTRY_COMPARE_WITH_TIMEOUT(ui->comboBox_ComDevices->count(), 1, 1500);
    QCOMPARE(ui->comboBox_ComDevices->itemData(0).toString(), second.portName());
    ui->comboBox_ComDevices->setCurrentIndex(0);
    ui->connectButton->click();
    QVERIFY(link(w)->isOpen());
    QTRY_VERIFY(second.isHostConnected());
}

void tst_Connection::foreignPort_neverListed()
{
    source->addSerialPort({QStringLiteral("/dev/ttyS0"), 0x0403, 0x6001,
                           QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
                           QStringLiteral("A1"), QStringLiteral("/dev/ttyS0")});
    source->addUsbDevice({QStringLiteral("USB\\VID_0403&PID_6001\\A1"),
                          QStringLiteral("FT232R USB UART")});
    source->addSerialPort({QStringLiteral("/dev/ttyS1"), 0, 0, QString(), QString(), QString(),
                           QStringLiteral("/dev/ttyS1")});
    Widget w;
    QTest::qWait(1100);
    QCOMPARE(w.form()->comboBox_ComDevices->count(), 0);
}

void tst_Connection::emptySelection_showsPortNameError()
{
    Widget w;
    ModalWatcher watcher;
    w.form()->connectButton->click();
    QCOMPARE(watcher.texts(), QStringList{"port name error, please choose right com!"});
    QVERIFY(!link(w)->isOpen());
    QCOMPARE(w.form()->connectButton->text(), QStringLiteral("Connect"));
}

void tst_Connection::openFails_showsDeviceErrorAppliesNoModel()
{
    source->addSerialPort({QStringLiteral("/nonexistent/ttyACM9"), 0x3A1D, 0x7777, QString(),
                           QString(), QString(), QStringLiteral("/nonexistent/ttyACM9")});
    source->addUsbDevice({QStringLiteral("USB\\VID_3A1D&PID_7777\\X"),
                          QStringLiteral("Veltrano ZT-3 MIDI")});
    Widget w;
    Ui::Widget *ui = w.form();
    QCOMPARE(ui->comboBox_ComDevices->count(), 1);
    ModalWatcher watcher;
    ui->connectButton->click();
    QCOMPARE(watcher.texts(), QStringList{"Device error"});
    QVERIFY(!link(w)->isOpen());
    // Nothing of the model is applied for a connection that did not happen:
    // neither its widgets nor its Tempo lists.
    for (QWidget *x : modelWidgets(ui))
        QVERIFY2(x->isHidden(), qPrintable(x->objectName()));
    QCOMPARE(ui->switch_comboBox0->findText(QStringLiteral("Tempo")), -1);
}

QTEST_MAIN(tst_Connection)
#include "tst_connection.moc"
