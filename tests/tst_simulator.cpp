// The simulated controller: its protocol behaviour, and the controller as the
// application sees it through a real serial port on the pseudo-terminal.
#include "device/usbdevicedescriptions.h"
#include "sim/controllerbehaviour.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "support/fakedevicesource.h"

#include "sim/pseudorandombytes.h"
#include <QSerialPort>
#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

/// A set command for pedal p, slot m, pedal type t and event e; other bytes fixed.
QByteArray setCommand(int p, int m, int t, int e = 0)
{
    QByteArray c = hex("F000215E1003");
    const quint8 def[17] = {quint8(p), quint8(m), quint8(t), 2, quint8(e), 11, 0, 5, 120,
                            1, 60, 0, 0, 0, 40, 3, 0};
    c.append(reinterpret_cast<const char *>(def), 17);
    c.append(char(0xF7));
    return c;
}

QList<int> kinds(const QList<ControllerCommand> &commands)
{
    QList<int> list;
    for (const ControllerCommand &c : commands)
        list.append(c.kind);
    return list;
}

/// The port the application would open, with every read kept apart.
class HostPort : public QObject
{
public:
    explicit HostPort(const QString &name)
    {
        port.setPortName(name);
        port.setBaudRate(115200);
        connect(&port, &QSerialPort::readyRead, this, [this] { reads.append(port.readAll()); });
    }
    bool open() { return port.open(QIODevice::ReadWrite); }
    QByteArray all() const
    {
        QByteArray bytes;
        for (const QByteArray &r : reads)
            bytes += r;
        return bytes;
    }
    int size() const { return all().size(); }

    QSerialPort port;
    QList<QByteArray> reads;
};

} // namespace

class tst_Simulator : public QObject
{
    Q_OBJECT

private slots:
    // Protocol behaviour, no I/O.
    void feed_piecesAndNoise_cutIntoCommands();
    void feed_frameCutShortByNewFrame_isGarbage();
    void set_data();
    void set();
    void ask_longFormChoosesPedalType();
    void ask_outOfRange_noReply();
    void store_anyDefinition_askReturnsItByteForByte();
    void delete_pedalThenFactoryReset();

    // Through a serial port.
    void handshake_repliesPedalCount();
    void setThenAsk_returnsStoredDefinition();
    void identityAndVersion_replies();
    void splitReply_arrivesInSeparateReads();
    void silent_answersNothing();
    void received_recordedWithTimes();
    void hostConnected_followsOpenAndClose();
    void events_acceptedUsbMidiPackets();
    void garbage_neverOpensFrame();
    void vanish_portReportsError();
    void deviceSource_followsPlugAndUnplug();

    // Upgrade mode, through a serial port.
    void upgradeMode_listedAsBootloader_data();
    void upgradeMode_listedAsBootloader();
    void upgradeMode_eraseConfirmedAfterDelay_data();
    void upgradeMode_eraseConfirmedAfterDelay();
    void upgradeMode_imageRecordedRaw_data();
    void upgradeMode_imageRecordedRaw();
    void enterUpgrade_reappearsInUpgradeMode_data();
    void enterUpgrade_reappearsInUpgradeMode();
};

void tst_Simulator::feed_piecesAndNoise_cutIntoCommands()
{
    ControllerBehaviour b(SimulatedModel::byName("ZT-3"));
    QVERIFY(b.feed(hex("F00021")).isEmpty());
    QCOMPARE(kinds(b.feed(hex("5E0101F7AACC0200010D"))), QList<int>{ControllerCommand::Handshake});
    const QList<ControllerCommand> rest = b.feed(hex("0A1234F000215E04040001F7AA"));
    QCOMPARE(kinds(rest), (QList<int>{ControllerCommand::Identity, ControllerCommand::Garbage,
                                      ControllerCommand::Ask}));
    QCOMPARE(rest.at(1).bytes, hex("1234"));
    QCOMPARE(rest.at(2).bytes, hex("F000215E04040001F7"));
    // A lone AA waits for its second byte.
    QCOMPARE(kinds(b.feed(hex("CC0200030D0A"))), QList<int>{ControllerCommand::Version});
    QCOMPARE(kinds(b.feed(hex("F000215E030558F7AACC0200090D0AAACC0200770D0A"))),
             (QList<int>{ControllerCommand::FactoryReset, ControllerCommand::EnterUpgrade,
                         ControllerCommand::Unknown}));
}

void tst_Simulator::feed_frameCutShortByNewFrame_isGarbage()
{
    ControllerBehaviour b(SimulatedModel::byName("QRX-10"));
    const QList<ControllerCommand> c = b.feed(hex("F00021F000215E0101F7"));
    QCOMPARE(kinds(c), (QList<int>{ControllerCommand::Garbage, ControllerCommand::Handshake}));
    QCOMPARE(c.first().bytes, hex("F00021"));
}

void tst_Simulator::set_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("forced");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("stored");

    QTest::newRow("stored") << setCommand(1, 3, 2) << -1 << 0 << true;
    QTest::newRow("no such pedal") << setCommand(4, 0, 1) << -1 << 1 << false;
    QTest::newRow("no such slot") << setCommand(0, 16, 1) << -1 << 1 << false;
    QTest::newRow("no such pedal type") << setCommand(0, 0, 4) << -1 << 2 << false;
    QTest::newRow("tempo beside another message") << setCommand(1, 5, 2, 8) << -1 << 3 << false;
    QTest::newRow("forced status") << setCommand(1, 5, 2) << 9 << 9 << false;
}

void tst_Simulator::set()
{
    QFETCH(QByteArray, command);
    QFETCH(int, forced);
    QFETCH(int, status);
    QFETCH(bool, stored);

    ControllerBehaviour b(SimulatedModel::byName("ZT-3")); // four pedals
    b.respond({ControllerCommand::Set, setCommand(1, 0, 2)});
    b.setForcedSetStatus(forced);
    const QList<QByteArray> replies = b.respond(b.feed(command).value(0));
    QCOMPARE(replies.size(), 1);
    QCOMPARE(replies.first().toHex(' '),
             (hex("F000215E1003") + command.at(6) + char(status) + char(0xF7)).toHex(' '));
    const int p = quint8(command.at(6)), m = quint8(command.at(7)), t = quint8(command.at(8));
    QCOMPARE(b.isStored(p, m, t), stored);
    if (stored)
        QCOMPARE(b.definition(p, m, t), command.mid(6, 17));
}

void tst_Simulator::ask_longFormChoosesPedalType()
{
    ControllerBehaviour b(SimulatedModel::byName("QRX-20"));
    b.respond({ControllerCommand::Set, setCommand(1, 3, 3)});

    const QByteArray shortReply = b.respond({ControllerCommand::Ask, hex("F000215E04040103F7")}).value(0);
    QCOMPARE(shortReply.size(), 24);
    QCOMPARE(shortReply.left(6), hex("F000215E1004"));
    QCOMPARE(shortReply.mid(6, 17), setCommand(1, 3, 3).mid(6, 17));
    QCOMPARE(quint8(shortReply.at(23)), quint8(0xF7));

    // Index 0 asks for the expression message, which was never set.
    const QByteArray longReply = b.respond({ControllerCommand::Ask, hex("F000215E0404010300F7")}).value(0);
    QCOMPARE(longReply.mid(6, 17), ControllerBehaviour::defaultDefinition(1, 3, 1));
    QCOMPARE(int(longReply.at(8)), 1);
}

void tst_Simulator::ask_outOfRange_noReply()
{
    ControllerBehaviour b(SimulatedModel::byName("ZT-1")); // two pedals
    QVERIFY(b.respond({ControllerCommand::Ask, hex("F000215E0404FFFFF7")}).isEmpty());
    QVERIFY(b.respond({ControllerCommand::Ask, hex("F000215E04040010F7")}).isEmpty());
    QVERIFY(b.respond({ControllerCommand::Ask, hex("F000215E0404000003F7")}).isEmpty());
    QCOMPARE(b.respond({ControllerCommand::Ask, hex("F000215E0404010FF7")}).size(), 1);
}

void tst_Simulator::store_anyDefinition_askReturnsItByteForByte()
{
    ControllerBehaviour b(SimulatedModel::byName("ZT-3"));
    // Pedal 2, slot 5, pedal type 7 and event 9: nothing a set command would be allowed to store.
    const QByteArray odd = hex("0205070F09FF80FF0005FF00000000FF01");
    b.store(odd);
    QVERIFY(b.isStored(2, 5, 7));
    QCOMPARE(b.respond({ControllerCommand::Ask, hex("F000215E04040205F7")}).value(0).mid(6, 17), odd);

    // A stored definition replaces the one of its pedal type; the other types keep theirs.
    const QByteArray hat = hex("0205030000040000" "7F00320000003200" "00");
    b.store(hat);
    QCOMPARE(b.respond({ControllerCommand::Ask, hex("F000215E04040205F7")}).value(0).mid(6, 17), hat);
    QCOMPARE(b.definition(2, 5, 7), odd);
    QCOMPARE(b.storedCount(), 2);

    // Too short to be a definition: nothing changes.
    b.store(hat.left(16));
    QCOMPARE(b.storedCount(), 2);
}

void tst_Simulator::delete_pedalThenFactoryReset()
{
    ControllerBehaviour b(SimulatedModel::byName("QRX-30"));
    b.respond({ControllerCommand::Set, setCommand(0, 1, 1)});
    b.respond({ControllerCommand::Set, setCommand(2, 7, 3)});
    QCOMPARE(b.storedCount(), 2);

    QCOMPARE(b.respond(b.feed(hex("F000215E030500F7")).value(0)), QList<QByteArray>{hex("F000215E030500F7")});
    QVERIFY(!b.isStored(0, 1, 1));
    QVERIFY(b.isStored(2, 7, 3));

    QCOMPARE(b.respond(b.feed(hex("F000215E030558F7")).value(0)), QList<QByteArray>{hex("F000215E030558F7")});
    QCOMPARE(b.storedCount(), 0);
    QCOMPARE(b.definition(2, 7), ControllerBehaviour::defaultDefinition(2, 7, 3));
}

void tst_Simulator::handshake_repliesPedalCount()
{
    SimulatedController sim("ZT-3");
    sim.behaviour().setStatusAfterHandshake(0x05);
    HostPort host(sim.portName());
    QVERIFY2(host.open(), qPrintable(host.port.errorString()));
    host.port.write(hex("F000215E0101F7"));
    QTRY_COMPARE(host.all().toHex(' '), hex("F000215E0104F7F000215E05F7").toHex(' '));
}

void tst_Simulator::setThenAsk_returnsStoredDefinition()
{
    SimulatedController sim("QRX-20");
    HostPort host(sim.portName());
    QVERIFY(host.open());
    const QByteArray set = setCommand(2, 9, 2);
    host.port.write(set);
    QTRY_COMPARE(host.all(), hex("F000215E10030200F7"));
    host.reads.clear();
    host.port.write(hex("F000215E04040209F7"));
    QTRY_COMPARE(host.size(), 24);
    QCOMPARE(host.all().mid(6, 17), set.mid(6, 17));
    QCOMPARE(int(host.all().at(5)), 4);
}

void tst_Simulator::identityAndVersion_replies()
{
    SimulatedController sim("WQM-30");
    sim.behaviour().setFirmwareVersion("2.5.1");
    HostPort host(sim.portName());
    QVERIFY(host.open());
    host.port.write(hex("AACC0200010D0A"));
    QTRY_COMPARE(host.all(), QByteArray("WQM-30\r\n"));
    host.port.write(hex("AACC0200030D0A"));
    QTRY_COMPARE(host.all(), QByteArray("WQM-30\r\n") + hex("AACC06") + "V2.5.1\r\n");
}

void tst_Simulator::splitReply_arrivesInSeparateReads()
{
    SimulatedController sim("ZT-1");
    HostPort host(sim.portName());
    QVERIFY(host.open());
    sim.splitNextReply({5, 2}, 80);
    host.port.write(hex("F000215E0101F7"));
    QTRY_COMPARE(host.size(), 7);
    QCOMPARE(host.reads, (QList<QByteArray>{hex("F000"), hex("215E01"), hex("02F7")}));

    // Only the next reply was split.
    host.reads.clear();
    host.port.write(hex("F000215E0101F7"));
    QTRY_COMPARE(host.size(), 7);
    QCOMPARE(host.reads.size(), 1);
}

void tst_Simulator::silent_answersNothing()
{
    SimulatedController sim("ZT-3");
    HostPort host(sim.portName());
    QVERIFY(host.open());
    sim.setSilent(true);
    host.port.write(hex("F000215E0101F7"));
    QTRY_COMPARE(sim.commandsOf(ControllerCommand::Handshake).size(), 1);
    sim.setSilent(false);
    host.port.write(hex("AACC0200010D0A"));
    // Replies keep their order, so a handshake reply would have come first.
    QTRY_COMPARE(host.all(), QByteArray("ZT-3\r\n"));
}

void tst_Simulator::received_recordedWithTimes()
{
    SimulatedController sim("ZT-3");
    HostPort host(sim.portName());
    QVERIFY(host.open());
    const qint64 before = sim.elapsedMs();
    host.port.write(hex("F000215E01"));
    QTRY_COMPARE(sim.receivedBytes(), hex("F000215E01"));
    QVERIFY(sim.commands().isEmpty());
    host.port.write(hex("01F7AACC0200010D0A"));
    QTRY_COMPARE(sim.commands().size(), 2);
    QCOMPARE(sim.receivedBytes(), hex("F000215E0101F7AACC0200010D0A"));
    QCOMPARE(sim.commands().at(0).command.kind, ControllerCommand::Handshake);
    QCOMPARE(sim.commands().at(1).command.kind, ControllerCommand::Identity);
    QVERIFY(sim.received().size() >= 2);
    QVERIFY(sim.received().first().ms >= before);
    QVERIFY(sim.received().last().ms >= sim.received().first().ms);
    QVERIFY(sim.received().last().ms <= sim.elapsedMs());
    QTRY_COMPARE(host.size(), 7 + 6);
    QCOMPARE(sim.sent().size(), 2);
}

void tst_Simulator::hostConnected_followsOpenAndClose()
{
    SimulatedController sim("QRX-10");
    QSignalSpy spy(&sim, &SimulatedController::hostConnectedChanged);
    QVERIFY(!sim.isHostConnected());
    HostPort host(sim.portName());
    QVERIFY(host.open());
    QTRY_VERIFY(sim.isHostConnected());
    host.port.close();
    QTRY_VERIFY(!sim.isHostConnected());
    QCOMPARE(spy.size(), 2);

    // A reopened port is answered again.
    QVERIFY(host.open());
    host.port.write(hex("AACC0200010D0A"));
    QTRY_COMPARE(host.all(), QByteArray("QRX-10\r\n"));
}

void tst_Simulator::events_acceptedUsbMidiPackets()
{
    SimulatedController sim("ZT-3");
    HostPort host(sim.portName());
    QVERIFY(host.open());
    QTRY_VERIFY(sim.isHostConnected());
    sim.startEvents(200);
    QTRY_VERIFY(host.size() >= 4 * 20);
    sim.stopEvents();
    QTRY_COMPARE(host.size(), 4 * sim.sent().size());
    const QByteArray bytes = host.all();
    for (int i = 0; i < bytes.size(); i += 4) {
        const quint8 status = quint8(bytes.at(i + 1));
        QVERIFY2(status >= 0x80 && status <= 0xEF, qPrintable(bytes.mid(i, 4).toHex(' ')));
        QCOMPARE(quint8(bytes.at(i)), quint8(status >> 4)); // cable 0, code index
    }
    QCOMPARE(bytes.left(8), hex("0BB007000BB0070E"));
}

void tst_Simulator::garbage_neverOpensFrame()
{
    SimulatedController sim("ZT-3");
    HostPort host(sim.portName());
    QVERIFY(host.open());
    sim.sendGarbage(300, 7);
    QTRY_COMPARE(host.size(), 300);
    QVERIFY(!host.all().contains(char(0xF0)));
}

void tst_Simulator::vanish_portReportsError()
{
    qRegisterMetaType<QSerialPort::SerialPortError>();
    SimulatedController sim("ZT-3");
    HostPort host(sim.portName());
    QVERIFY(host.open());
    QSignalSpy errors(&host.port, &QSerialPort::errorOccurred);
    sim.vanish();
    QVERIFY(!sim.isPluggedIn());
    QVERIFY(sim.portName().isEmpty());
    // A hung-up tty reads end of file, which Qt 5.15 reports as a read error
    // (a resource error when the last failed system call happens to say so).
    QTRY_VERIFY(!errors.isEmpty());
    const auto error = errors.first().first().value<QSerialPort::SerialPortError>();
    QVERIFY2(error == QSerialPort::ReadError || error == QSerialPort::ResourceError,
             qPrintable(host.port.errorString()));
    host.port.close();
}

void tst_Simulator::deviceSource_followsPlugAndUnplug()
{
    SimulatedController zt3("ZT-3");
    SimulatedController qrx("QRX-20");
    SimulatedDeviceSource source({&zt3, &qrx});
    source.addUsbDevice({"USB\\VID_1A86&PID_7523\\1-4", "USB Serial"});
    ScopedDeviceSource scope(&source);

    QCOMPARE(DeviceSource::current()->serialPorts().size(), 2);
    const SerialPortRecord port = DeviceSource::current()->serialPorts().first();
    QCOMPARE(port.portName, zt3.portName());
    QVERIFY(port.portName.startsWith("/dev/pts/"));
    QCOMPARE(port.vendorId, zt3.model().vendorId);
    QCOMPARE(port.productId, zt3.model().productId);

    QMap<UsbId, QString> map = usbDeviceDescriptions(nullptr, L"USB", L"Veltrano", true);
    UsbId id;
    id.productId = port.productId;
    id.vendorId = port.vendorId;
    QCOMPARE(map.size(), 2);
    QCOMPARE(map.value(id), QString("Veltrano ZT-3 MIDI"));

    zt3.vanish();
    QCOMPARE(source.serialPorts().size(), 1);
    QCOMPARE(source.usbDevices().size(), 2); // the QRX-20 and the foreign device
    QVERIFY(!usbDeviceDescriptions(nullptr, L"USB", L"Veltrano", true).contains(id));

    QVERIFY(zt3.plugIn());
    QVERIFY(!zt3.portName().isEmpty()); // the freed name may come back
    QCOMPARE(source.serialPorts().size(), 2);
    QCOMPARE(source.serialPorts().first().portName, zt3.portName());

    source.removeController(&qrx);
    QCOMPARE(source.serialPorts().size(), 1);
    {
        SimulatedController temporary("QRX-30");
        source.addController(&temporary);
        QCOMPARE(source.serialPorts().size(), 2);
    }
    QCOMPARE(source.serialPorts().size(), 1);
}

using Mode = SimulatedController::Mode;

void tst_Simulator::upgradeMode_listedAsBootloader_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("productId");

    QTest::newRow("ZT-3") << "ZT-3" << "ZT-3 Bootloader" << 0x5F03;
    QTest::newRow("QRX-20") << "QRX-20" << "QRX-20 Bootloader" << 0x5F20;
}

void tst_Simulator::upgradeMode_listedAsBootloader()
{
    QFETCH(QString, model);
    QFETCH(QString, description);
    QFETCH(int, productId);

    SimulatedController sim(model);
    SimulatedDeviceSource source({&sim});
    ScopedDeviceSource scope(&source);
    const QString normalPort = sim.portName();
    QSignalSpy modes(&sim, &SimulatedController::modeChanged);

    sim.setMode(Mode::Upgrade);
    QCOMPARE(sim.mode(), Mode::Upgrade);
    QCOMPARE(modes.size(), 1);
    QCOMPARE(modes.first().first().toInt(), int(Mode::Upgrade));
    QVERIFY(sim.isPluggedIn());
    QVERIFY(sim.portName() != normalPort);

    const SerialPortRecord port = source.serialPorts().value(0);
    QCOMPARE(port.portName, sim.portName());
    QCOMPARE(port.vendorId, sim.model().vendorId);
    QCOMPARE(port.productId, productId);
    QCOMPARE(port.description, description);
    const UsbDeviceRecord usb = source.usbDevices().value(0);
    QCOMPARE(usb.description, description);
    QVERIFY2(usb.instanceId.contains(QString("PID_%1").arg(productId, 4, 16).toUpper()),
             qPrintable(usb.instanceId));
    UsbId id;
    id.productId = productId;
    id.vendorId = sim.model().vendorId;
    QCOMPARE(usbDeviceDescriptions(nullptr, L"USB", L"", false).value(id), description);

    const QString upgradePort = sim.portName();
    sim.setMode(Mode::Normal);
    QCOMPARE(modes.size(), 2);
    QVERIFY(sim.portName() != upgradePort);
    QCOMPARE(source.usbDevices().value(0).description, sim.model().usbDescription);
    QCOMPARE(source.serialPorts().value(0).productId, sim.model().productId);
}

void tst_Simulator::upgradeMode_eraseConfirmedAfterDelay_data()
{
    QTest::addColumn<int>("delay");

    QTest::newRow("at once") << 0;
    QTest::newRow("after 150 ms") << 150;
    QTest::newRow("never") << -1;
}

void tst_Simulator::upgradeMode_eraseConfirmedAfterDelay()
{
    QFETCH(int, delay);

    SimulatedController sim("ZT-3");
    sim.setMode(Mode::Upgrade);
    sim.setEraseDelay(delay);
    HostPort host(sim.portName());
    QVERIFY(host.open());
    // The bootloader answers the identity and version queries, not the handshake.
    host.port.write(hex("F000215E0101F7AACC0200010D0AAACC0200030D0A"));
    QTRY_COMPARE(host.all(), QByteArray("ZT-3\r\n") + hex("AACC06") + "V1.2.0\r\n");
    host.reads.clear();

    QSignalSpy sent(&sim, &SimulatedController::bytesSent);
    QElapsedTimer clock;
    clock.start();
    host.port.write(hex("AACC0200020D0A"));
    QTRY_COMPARE(sim.commandsOf(ControllerCommand::Erase).size(), 1);
    if (delay < 0) {
        QVERIFY(!sent.wait(400));
        QVERIFY(!sim.isReceivingImage());
        QVERIFY(host.all().isEmpty());
        return;
    }
    QTRY_COMPARE(host.all(), QByteArray("ERASE END"));
    QVERIFY(clock.elapsed() >= delay);
    QVERIFY(sim.sent().last().ms - sim.commands().last().ms >= delay);
    QVERIFY(sim.isReceivingImage());
}

void tst_Simulator::upgradeMode_imageRecordedRaw_data()
{
    QTest::addColumn<qint64>("vanishAfter");

    QTest::newRow("all of it") << qint64(-1);
    QTest::newRow("cable pulled after 2000 bytes") << qint64(2000);
}

void tst_Simulator::upgradeMode_imageRecordedRaw()
{
    QFETCH(qint64, vanishAfter);

    SimulatedController sim("ZT-3");
    sim.setMode(Mode::Upgrade);
    sim.setEraseDelay(0);
    sim.vanishAfterImageBytes(vanishAfter);
    HostPort host(sim.portName());
    QVERIFY(host.open());
    host.port.write(hex("AACC0200020D0A"));
    QTRY_COMPARE(host.all(), QByteArray("ERASE END"));

    // Commands and frames inside the image are image bytes like any other.
    const QList<QByteArray> pieces{hex("F000215E0101F7AACC0200020D0A"), hex("AACC0200010D0A00FF"),
                                   pseudoRandomBytes(3000, 5), hex("F7F0AACC")};
    QSignalSpy totals(&sim, &SimulatedController::imageBytesReceived);
    QByteArray written;
    for (const QByteArray &piece : pieces) {
        if (!sim.isPluggedIn())
            break;
        written += piece;
        host.port.write(piece);
        QTRY_VERIFY(sim.receivedImage().size() == written.size() || !sim.isPluggedIn());
    }
    const QByteArray image = sim.receivedImage();
    QCOMPARE(totals.last().first().toLongLong(), qint64(image.size()));
    QCOMPARE(sim.commandsOf(ControllerCommand::Erase).size(), 1);
    QCOMPARE(host.all(), QByteArray("ERASE END"));

    if (vanishAfter < 0) {
        QCOMPARE(image, written);
        QVERIFY(sim.imageChunks() >= pieces.size());
        QVERIFY(sim.isReceivingImage());
        return;
    }
    QVERIFY(!sim.isPluggedIn());
    QVERIFY(image.size() >= vanishAfter);
    QCOMPARE(image, written.left(image.size()));
    QCOMPARE(written, pieces.at(0) + pieces.at(1) + pieces.at(2)); // gone during the third
    host.port.close();

    // Plugged in again, the bootloader starts afresh and keeps what it received.
    QVERIFY(sim.plugIn());
    QVERIFY(!sim.isReceivingImage());
    HostPort again(sim.portName());
    QVERIFY(again.open());
    again.port.write(hex("AACC0200010D0A"));
    QTRY_COMPARE(again.all(), QByteArray("ZT-3\r\n"));
    QCOMPARE(sim.receivedImage(), image);
}

void tst_Simulator::enterUpgrade_reappearsInUpgradeMode_data()
{
    QTest::addColumn<bool>("configure");
    QTest::addColumn<int>("delay");

    QTest::newRow("default delay") << false << int(SimulatedController::defaultUpgradeReappearDelayMs);
    QTest::newRow("60 ms") << true << 60;
    QTest::newRow("ignored") << true << -1;
}

void tst_Simulator::enterUpgrade_reappearsInUpgradeMode()
{
    QFETCH(bool, configure);
    QFETCH(int, delay);

    SimulatedController sim("ZT-1");
    if (configure)
        sim.setUpgradeReappearDelay(delay);
    const QString normalPort = sim.portName();
    QSignalSpy modes(&sim, &SimulatedController::modeChanged);
    HostPort host(normalPort);
    QVERIFY(host.open());
    QElapsedTimer clock;
    clock.start();
    host.port.write(hex("AACC0200090D0A"));
    QTRY_COMPARE(sim.commandsOf(ControllerCommand::EnterUpgrade).size(), 1);
    if (delay < 0) {
        QVERIFY(!modes.wait(400));
        QVERIFY(sim.isPluggedIn());
        QCOMPARE(sim.mode(), Mode::Normal);
        QCOMPARE(sim.portName(), normalPort);
        return;
    }
    QVERIFY(!sim.isPluggedIn());
    QCOMPARE(sim.mode(), Mode::Normal);
    host.port.close();

    QVERIFY(modes.wait(delay + 2000));
    QVERIFY(clock.elapsed() >= delay);
    QCOMPARE(sim.mode(), Mode::Upgrade);
    QVERIFY(sim.isPluggedIn());
    QVERIFY(sim.portName() != normalPort);
    QCOMPARE(sim.usbDescription(), QString("ZT-1 Bootloader"));
    HostPort bootloader(sim.portName());
    QVERIFY(bootloader.open());
    bootloader.port.write(hex("AACC0200030D0A"));
    QTRY_COMPARE(bootloader.all(), hex("AACC06") + "V1.0.3\r\n");
}

QTEST_GUILESS_MAIN(tst_Simulator)
#include "tst_simulator.moc"
