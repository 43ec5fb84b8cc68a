// The link through the main window, over a simulated controller's
// pseudo-terminal: what reaches the tables and the editor when replies, text
// and events share a write, and the link while the window re-enters the event
// loop (a receiver that waits, the monitor's drain).
#include "app/widget.h"
#include "device/serialport.h"
#include "sim/controllerbehaviour.h"
#include "support/controllerrig.h"
#include "support/scopedcurrentdir.h"
#include "ui_widget.h"

#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

namespace {

QList<int> rowCounts(Ui::Widget *ui)
{
    QList<int> counts;
    for (QTableView *v : {ui->tableView, ui->tableView_2, ui->tableView_3})
        counts.append(v->model()->rowCount());
    return counts;
}

QList<int> frameTypes(const QSignalSpy &spy)
{
    QList<int> types;
    for (const QList<QVariant> &args : spy)
        types.append(args.first().value<Protocol::MsgPackage>().type);
    return types;
}

QByteArray midiEvent(quint8 status, quint8 data1, quint8 data2)
{
    return ControllerBehaviour::usbMidiEvent(status, data1, data2);
}

} // namespace

class tst_LinkPath : public QObject
{
    Q_OBJECT

private slots:
    void connect_addsNoTableRow();
    void eventsInOneWriteWithReply_allShownInOrder_data();
    void eventsInOneWriteWithReply_allShownInOrder();
    void configurationReplyTriggerLevel247_fillsEditor();
    void receiverReentersEventLoop_noNestedReadBytesMeanwhileReadAfter();
    void drainHoldsOnlyInput_portRemovalAndReturnHeard();
};

void tst_LinkPath::connect_addsNoTableRow()
{
    const ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("QRX-20"));
    QSignalSpy texts(rig.link(), &SerialPort::showdata);
    QVERIFY(rig.connect());
    // The version reply AA CC 06 56 ... has come and gone.
    QTRY_VERIFY(std::any_of(texts.cbegin(), texts.cend(), [](const QList<QVariant> &args) {
        return args.first().toByteArray().startsWith(QByteArray::fromHex("AACC0656"));
    }));
    QCOMPARE(texts.size(), 2); // the model line and the version reply, once each
    QCoreApplication::processEvents();
    QCOMPARE(rig.window->handledPedalFrames(), 0);
    QCOMPARE(rowCounts(rig.ui), (QList<int>{0, 0, 0}));
}

void tst_LinkPath::eventsInOneWriteWithReply_allShownInOrder_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("type");
    QTest::newRow("six-byte status reply") << QByteArray::fromHex("F000215E03F7") << 0;
    QTest::newRow("seven-byte handshake reply of four pedals")
        << QByteArray::fromHex("F000215E0104F7") << 0;
    QTest::newRow("nine-byte set reply") << QByteArray::fromHex("F000215E10030000F7") << 1;
}

void tst_LinkPath::eventsInOneWriteWithReply_allShownInOrder()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, type);
    const ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    QSignalSpy frames(rig.link(), &SerialPort::pedalMidiDataSignal);
    const qint64 handledBefore = rig.window->handledPedalFrames();
    const int rowsBefore = rowCounts(rig.ui).first();

    rig.controller.send(midiEvent(0xB0, 7, 100) + reply + midiEvent(0x90, 60, 64) + midiEvent(0x80, 60, 0)
                        + ControllerBehaviour::identityReply(QStringLiteral("ZT-3"))
                        + midiEvent(0xB0, 11, 3));
    QTRY_COMPARE(frameTypes(frames), (QList<int>{4, type, 4, 4, 4}));
    QTRY_COMPARE(rig.window->handledPedalFrames(), handledBefore + 4);
    QTRY_COMPARE(rowCounts(rig.ui).first(), rowsBefore + 4);
}

void tst_LinkPath::configurationReplyTriggerLevel247_fillsEditor()
{
    const ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("QRX-20"));
    QVERIFY(rig.connect());
    // Expression pedal, Pitch Bend, trigger level 247: byte 17 is F7.
    //                                      p  m  t  ch ev dA dB vA vB mo ga tl pn rn cu cc th
    const QByteArray reply = QByteArray::fromHex("F000215E1004"
                                                 "00 00 01 04 03 01 02 7F 00 00 28 F7 30 31 3C 00 00"
                                                 "F7");
    QCOMPARE(reply.size(), 24);
    const qint64 handledBefore = rig.window->handledPedalFrames();
    rig.controller.send(reply + midiEvent(0xE0, 0, 64));
    QTRY_COMPARE(rig.ui->expression_trigger_level->currentIndex(), 247);
    QCOMPARE(rig.ui->expression_comboBox0->currentText(), QStringLiteral("Pitch Bend"));
    QCOMPARE(rig.ui->expression_press_note->currentIndex(), 0x30);
    QCOMPARE(rig.ui->expression_release_note->currentIndex(), 0x31);
    QTRY_COMPARE(rig.window->handledPedalFrames(), handledBefore + 1); // the event after it
}

void tst_LinkPath::receiverReentersEventLoop_noNestedReadBytesMeanwhileReadAfter()
{
    const ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    SerialPort *link = rig.link();
    const QByteArray later = midiEvent(0xB0, 1, 1) + QByteArray::fromHex("F000215E05F7")
                             + midiEvent(0xB0, 1, 2);

    int depth = 0;
    int nested = 0;
    bool sawWaitingBytes = false;
    QStringList seen;
    const QMetaObject::Connection watch =
        connect(link, &SerialPort::pedalMidiDataSignal, this, [&](Protocol::MsgPackage p) {
            nested += depth > 0;
            ++depth;
            seen.append(QString::fromLatin1(p.frame.toHex().toUpper()));
            if (seen.size() == 1) {
                // A receiver that waits in the event loop while more arrives.
                rig.controller.send(later);
                sawWaitingBytes = QTest::qWaitFor([&] { return link->bytesAvailable() > 0; });
                // What a drain running in here does at the end of its pass.
                link->setInputHeld(true);
                link->setInputHeld(false);
            }
            --depth;
        });
    rig.controller.send(midiEvent(0x90, 1, 1) + midiEvent(0x90, 1, 2));
    QTRY_COMPARE(seen.size(), 5);
    disconnect(watch);
    QCOMPARE(nested, 0);
    QVERIFY(sawWaitingBytes);
    QCOMPARE(seen, (QStringList{"09900101", "09900102", "0BB00101", "F000215E05F7", "0BB00102"}));
}

void tst_LinkPath::drainHoldsOnlyInput_portRemovalAndReturnHeard()
{
    const ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    SerialPort *link = rig.link();
    const SerialPortRecord other{QStringLiteral("/dev/ttyOTHER7"), 0x1111, 0x2222, {}, {}, {}, {}};
    rig.source.addSerialPort(other);
    link->updatePortStatus();
    QSignalSpy gone(link, &SerialPort::portDisconnected);
    QSignalSpy back(link, &SerialPort::portReconnected);

    // A backlog, and a port change reported while the drain holds the input:
    // each row of the backlog posts a look at the link, which the drain's
    // next pass of the event loop runs.
    const auto changeDuringDrain = [&](const std::function<void()> &change) {
        bool changed = false;
        bool posted = false;
        const QMetaObject::Connection rows =
            connect(rig.ui->tableView->model(), &QAbstractItemModel::rowsInserted, this, [&] {
                if (changed || posted)
                    return;
                posted = true;
                QMetaObject::invokeMethod(
                    this,
                    [&] {
                        posted = false;
                        if (changed || !link->isInputHeld())
                            return;
                        changed = true;
                        change();
                        link->updatePortStatus();
                    },
                    Qt::QueuedConnection);
            });
        for (int i = 0; i < 250; ++i)
            rig.window->enqueuePedalFrame(midiEvent(0xB0, 7, quint8(i % 128)));
        const bool drained = QTest::qWaitFor([&] { return !rig.window->pedalFrameDrainPending(); });
        disconnect(rows);
        QCoreApplication::processEvents(); // a look posted by the last row
        return drained && changed && !link->isInputHeld();
    };
    QVERIFY(changeDuringDrain([&] { rig.source.clearExtraDevices(); }));
    QCOMPARE(gone.size(), 1);
    QCOMPARE(gone.first().first().toString(), other.portName);
    QVERIFY(changeDuringDrain([&] { rig.source.addSerialPort(other); }));
    QCOMPARE(back.size(), 1);
    QCOMPARE(back.first().first().toString(), other.portName);
}

QTEST_MAIN(tst_LinkPath)
#include "tst_linkpath.moc"
