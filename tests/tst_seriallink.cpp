// The link on its own, over a pseudo-terminal: frames and identity signals as
// the controller's bytes arrive in reads of any size, and the device scans.
#include "device/serialport.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "support/fakedevicesource.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QtTest>

using Kind = ControllerCommand::Kind;

class tst_SerialLink : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void splitReply_deliveredWholeAfterLastPiece();
    void liveEvents_eachOneFrame();
    void modelReply_versionQueryOnceNoSignalUnlessForwarding();
    void forwarding_emitsModelAndVersion();
    void eraseEnd_oneSignalPerRead();
    void statusReply_setsExtractedValue();
    void garbageThenReply_replyStillFramed();
    void silentController_nothingArrives();
    void rescanAfterPortChange_keepsOldPortName();
    void presencePoll_reportsGoneAndBack();

private:
    SimulatedDeviceSource *source = nullptr;
    QComboBox *combo = nullptr;
    SerialPort *port = nullptr;
    SimulatedController *sim = nullptr;
    QSignalSpy *frames = nullptr;

    void openOn(const QString &model)
    {
        sim = new SimulatedController(model, this);
        source->addController(sim);
        port = new SerialPort(combo, QStringLiteral("Veltrano"), this);
        frames = new QSignalSpy(port, &SerialPort::pedalMidiDataSignal);
        QVERIFY(port->openPort(sim->portName(), 115200));
        QTRY_VERIFY(sim->isHostConnected());
    }
    QStringList frameTexts() const
    {
        QStringList out;
        for (const QList<QVariant> &args : qAsConst(*frames)) {
            const auto p = args.first().value<Protocol::MsgPackage>();
            out.append(QString::number(p.type) + QLatin1Char(':')
                       + QString::fromLatin1(p.frame.toHex().toUpper()));
        }
        return out;
    }
};

void tst_SerialLink::init()
{
    source = new SimulatedDeviceSource;
    DeviceSource::setCurrent(source);
    combo = new QComboBox;
}

void tst_SerialLink::cleanup()
{
    delete frames;
    frames = nullptr;
    delete port;
    port = nullptr;
    delete sim;
    sim = nullptr;
    delete combo;
    DeviceSource::setCurrent(nullptr);
    delete source;
}

void tst_SerialLink::splitReply_deliveredWholeAfterLastPiece()
{
    openOn("QRX-20");
    const QByteArray reply =
        QByteArray::fromHex("F000215E1004" "0000010000070000" "7F00320000003200" "00" "F7");
    QCOMPARE(reply.size(), 24);
    QSignalSpy reads(port, &QIODevice::readyRead);
    sim->sendSplit(reply, {2, 11, 23});
    QTRY_COMPARE(frameTexts(), QStringList{"2:" + QString::fromLatin1(reply.toHex().toUpper())});
    QVERIFY(reads.size() >= 3); // it really came in pieces
}

void tst_SerialLink::liveEvents_eachOneFrame()
{
    openOn("ZT-3");
    sim->sendEvent(0xB0, 7, 100);
    sim->sendEvent(0x90, 60, 64);
    QTRY_COMPARE(frames->size(), 2);
    QCOMPARE(frameTexts(), (QStringList{"4:0BB00764", "4:09903C40"}));
}

void tst_SerialLink::modelReply_versionQueryOnceNoSignalUnlessForwarding()
{
    openOn("ZT-3");
    QSignalSpy models(port, &SerialPort::send_MTD);
    QSignalSpy versions(port, &SerialPort::send_vesion);
    sim->clearRecords();
    port->write(QByteArray::fromHex("AACC020001 0D0A")); // identity query
    QTRY_COMPARE(sim->commandsOf(Kind::Version).size(), 1);
    QTest::qWait(150); // the version reply is read too
    QCOMPARE(sim->commandsOf(Kind::Version).size(), 1);
    QCOMPARE(models.size(), 0);
    QCOMPARE(versions.size(), 0);
}

void tst_SerialLink::forwarding_emitsModelAndVersion()
{
    openOn("QRX-30");
    port->forwardIdentity = true;
    QSignalSpy models(port, &SerialPort::send_MTD);
    QSignalSpy versions(port, &SerialPort::send_vesion);
    port->write(QByteArray::fromHex("AACC020001 0D0A"));
    QTRY_COMPARE(versions.size(), 1);
    QCOMPARE(models.size(), 1);
    QCOMPARE(models.first().first().toString(), QStringLiteral("QRX-30"));
    QCOMPARE(versions.first().first().toString(), "V" + sim->behaviour().firmwareVersion());
}

void tst_SerialLink::eraseEnd_oneSignalPerRead()
{
    openOn("ZT-1");
    QSignalSpy erase(port, &SerialPort::send_erase);
    QSignalSpy reads(port, &SerialPort::showdata);
    sim->send("ERASE END");
    QTRY_COMPARE(erase.size(), 1);
    QCOMPARE(erase.first().first().toBool(), true);
    QCOMPARE(reads.size(), 1);
    sim->send("ERASE END\r\n", 50);
    QTRY_COMPARE(erase.size(), 2);
}

void tst_SerialLink::statusReply_setsExtractedValue()
{
    openOn("QRX-20");
    QCOMPARE(port->extractedValue, -1);
    sim->sendStatus(0x05);
    QTRY_COMPARE(port->extractedValue, 5);
    QCOMPARE(frameTexts(), QStringList{"0:F000215E05F7"});
}

void tst_SerialLink::garbageThenReply_replyStillFramed()
{
    openOn("ZT-3");
    sim->sendGarbage(37);
    sim->send(QByteArray::fromHex("F000215E10030100F7"));
    QTRY_VERIFY(frameTexts().contains("1:F000215E10030100F7"));
}

void tst_SerialLink::silentController_nothingArrives()
{
    openOn("ZT-3");
    sim->setSilent(true);
    port->write(QByteArray::fromHex("F000215E0101F7"));
    QTRY_COMPARE(sim->commandsOf(Kind::Handshake).size(), 1);
    QTest::qWait(200);
    QCOMPARE(frames->size(), 0);
}

void tst_SerialLink::rescanAfterPortChange_keepsOldPortName()
{
    FakeDeviceSource fake;
    DeviceSource::setCurrent(&fake);
    fake.usb = {{QStringLiteral("USB\\VID_3A1D&PID_5203\\A"), QStringLiteral("Veltrano ZT-3 MIDI")}};
    fake.ports = {{QStringLiteral("/dev/ttyACM0"), 0x3A1D, 0x5203, {}, {}, {}, {}}};
    SerialPort link(combo, QStringLiteral("Veltrano"), nullptr);
    QCOMPARE(combo->count(), 1);
    QCOMPARE(combo->itemData(0).toString(), QStringLiteral("/dev/ttyACM0"));

    // Back under another name before any scan missed it: the item stays as it was.
    fake.ports.first().portName = QStringLiteral("/dev/ttyACM1");
    link.initPort();
    QCOMPARE(combo->count(), 1);
    QCOMPARE(combo->itemData(0).toString(), QStringLiteral("/dev/ttyACM0"));

    // Missed by one scan, then back: the new item carries the new name.
    fake.ports.clear();
    link.initPort();
    QCOMPARE(combo->count(), 0);
    fake.ports = {{QStringLiteral("/dev/ttyACM1"), 0x3A1D, 0x5203, {}, {}, {}, {}}};
    link.initPort();
    QCOMPARE(combo->itemData(0).toString(), QStringLiteral("/dev/ttyACM1"));
    DeviceSource::setCurrent(source);
}

void tst_SerialLink::presencePoll_reportsGoneAndBack()
{
    FakeDeviceSource fake;
    DeviceSource::setCurrent(&fake);
    fake.ports = {{QStringLiteral("A"), 1, 1, {}, {}, {}, {}},
                  {QStringLiteral("B"), 1, 2, {}, {}, {}, {}}};
    SerialPort link(combo, QStringLiteral("Veltrano"), nullptr);
    QSignalSpy gone(&link, &SerialPort::portDisconnected);
    QSignalSpy back(&link, &SerialPort::portReconnected);
    link.updatePortStatus();
    QCOMPARE(gone.size(), 0);

    fake.ports.removeFirst();
    link.updatePortStatus();
    QCOMPARE(gone.size(), 1);
    QCOMPARE(gone.first().first().toString(), QStringLiteral("A"));
    link.updatePortStatus(); // still gone: reported once
    QCOMPARE(gone.size(), 1);

    fake.ports.append({QStringLiteral("A"), 1, 1, {}, {}, {}, {}});
    link.updatePortStatus();
    QCOMPARE(back.size(), 1);
    QCOMPARE(back.first().first().toString(), QStringLiteral("A"));
    link.updatePortStatus();
    QCOMPARE(back.size(), 1);
    DeviceSource::setCurrent(source);
}

QTEST_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"
