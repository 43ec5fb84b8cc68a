// The live monitor's pure units for Pause and Export: the capture ring, the
// pause counts, the CSV writer, the MIDI file's track and the file itself,
// read back by two readers that did not write it (Python's mido and
// drumstick's own reader).
#include "core/savefile.h"
#include "midiout/midimessage.h"
#include "monitor/eventtablemodel.h"
#include "monitor/framecapture.h"
#include "monitor/monitorexport.h"
#include "monitor/monitorpause.h"
#include "support/midoreader.h"

#include <QBuffer>
#include <QDataStream>
#include <QDateTime>
#include <QTemporaryDir>
#include <QtTest>

#include <drumstick/qsmf.h>

Q_DECLARE_METATYPE(MonitorExport::SmfEvent)
Q_DECLARE_METATYPE(ExportRow)

namespace {

ExportRow row(qint64 us, const char *hex, const QString &status = QString(),
              const QStringList &texts = {})
{
    ExportRow r;
    r.frame = CapturedFrame::of(us, QByteArray::fromHex(hex));
    r.status = status;
    r.data1 = texts.value(0);
    r.data2 = texts.value(1);
    r.channel = texts.value(2);
    return r;
}

MonitorExport::SmfEvent message(qint64 tick, qint64 delta, const char *hex)
{
    MonitorExport::SmfEvent e;
    e.tick = tick;
    e.delta = delta;
    e.message = QByteArray::fromHex(hex);
    return e;
}

MonitorExport::SmfEvent marker(qint64 tick, qint64 delta, const char *name)
{
    MonitorExport::SmfEvent e;
    e.tick = tick;
    e.delta = delta;
    e.marker = name;
    return e;
}

/// Every kind of message a pedal sends, with gaps from none to over an hour
/// (a delta of four bytes in the file), as rows of a table.
QVector<ExportRow> everyKind()
{
    const qint64 t0 = 1'700'000'000'000'000;
    return {
        row(t0, "09903c64", "Note On"),
        row(t0 + 200, "09903c00", "Note On"),        // velocity 0: still a note on
        row(t0 + 1'250, "08803c40", "Note Off"),     // 2.5 ticks: rounds up to 3
        row(t0 + 2'000, "0aa03c10", "Unknown"),      // polyphonic pressure
        row(t0 + 2'000, "0bb1075a", "CC"),           // channel 2
        row(t0 + 30'000, "0ccf7f00", "PC"),          // channel 16
        row(t0 + 30'000, "0dd04500", "CH"),
        row(t0 + 1'000'000, "0ee00040", "Pitch Bend"),
        row(t0 + 1'000'000, "0ee07f7f", "Pitch Bend"),
        row(t0 + 1'000'499, "0ffa0000", "Start"),
        row(t0 + 1'000'500, "0ff80000", "Tempo"),
        row(t0 + 1'000'501, "0ffb0000", "Continue"),
        row(t0 + 4'000'000'000, "0ffc0000", "Stop"), // 8,000,000 ticks later
        row(t0 + 4'000'000'000, "09913001", "Note On"),
    };
}

QString sinceEpochText(qint64 us)
{
    return QDateTime::fromMSecsSinceEpoch(us / 1000).toString(QStringLiteral("hh:mm:ss.zzz"));
}

} // namespace

class TestMonitorExport : public QObject
{
    Q_OBJECT

private slots:
    void capturedFrame_keepsUpToFourBytes_data();
    void capturedFrame_keepsUpToFourBytes();
    void capture_ringKeepsTheNewestInOrder_data();
    void capture_ringKeepsTheNewestInOrder();
    void pause_countsAndNote_data();
    void pause_countsAndNote();
    void csv_golden();
    void smfTrack_ticksMessagesAndMarkers_data();
    void smfTrack_ticksMessagesAndMarkers();
    void smfTrack_everyKindTimedFromArrival();
    void midiFile_readBackByMido_bytesTicksAndSeconds();
    void midiFile_readBackByDrumstick();
    void withSuffix_data();
    void withSuffix();
    void saveFile_atomicAndFailureSaysWhy();
    void toolTip_fullTextAndArrivalTimeOfTheRow();

private:
    QTemporaryDir dir;
};

void TestMonitorExport::capturedFrame_keepsUpToFourBytes_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("kept");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("one") << QByteArray::fromHex("0f") << QByteArray::fromHex("0f");
    QTest::newRow("three") << QByteArray::fromHex("0ffc00") << QByteArray::fromHex("0ffc00");
    QTest::newRow("four") << QByteArray::fromHex("09903c64") << QByteArray::fromHex("09903c64");
    QTest::newRow("six") << QByteArray::fromHex("09903c64ffee") << QByteArray::fromHex("09903c64");
}

void TestMonitorExport::capturedFrame_keepsUpToFourBytes()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, kept);
    const CapturedFrame c = CapturedFrame::of(-42, frame);
    QCOMPARE(c.frame(), kept);
    QCOMPARE(int(c.size), kept.size());
    QCOMPARE(c.arrivedUs, qint64(-42));
    static_assert(sizeof(CapturedFrame) == 16, "a plain 16-byte value");
}

void TestMonitorExport::capture_ringKeepsTheNewestInOrder_data()
{
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("adds");
    QTest::newRow("empty") << 4 << 0;
    QTest::newRow("below capacity") << 4 << 3;
    QTest::newRow("exactly full") << 4 << 4;
    QTest::newRow("one over") << 4 << 5;
    QTest::newRow("wrapped many times") << 4 << 23;
    QTest::newRow("capacity one") << 1 << 7;
    QTest::newRow("large") << 1000 << 2501;
}

void TestMonitorExport::capture_ringKeepsTheNewestInOrder()
{
    QFETCH(int, capacity);
    QFETCH(int, adds);
    FrameCapture ring(capacity);
    // Starting again forgets what came before.
    for (int i = 0; i < 9; ++i)
        ring.add(CapturedFrame::of(-1, QByteArray(4, 'x')));
    ring.restart(1000);
    for (int n = 0; n < adds; ++n)
        ring.add(CapturedFrame::of(n, QByteArray(1, char(n))));
    QCOMPARE(ring.startUs(), qint64(1000));
    QCOMPARE(ring.added(), qint64(adds));
    QCOMPARE(ring.size(), qMin(adds, capacity));
    QCOMPARE(ring.overwritten(), qint64(qMax(0, adds - capacity)));
    for (int i = 0; i < ring.size(); ++i) {
        const int n = adds - ring.size() + i; // the newest, oldest first
        QCOMPARE(ring.at(i).arrivedUs, qint64(n));
        QCOMPARE(ring.at(i).frame(), QByteArray(1, char(n)));
    }
    QCOMPARE(FrameCapture().capacity(), FrameCapture::defaultCapacity);
}

void TestMonitorExport::pause_countsAndNote_data()
{
    // Steps: P pause, R resume, f a frame, r a row, F a frame with its row, C Clear.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("tableRows");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<qint64>("frames");
    QTest::addColumn<qint64>("rows");
    QTest::addColumn<qint64>("dropped");
    QTest::addColumn<QString>("note");
    QTest::newRow("never paused: nothing counted") << "FFFfr" << 3 << false << 0ll << 0ll << 0ll << "";
    QTest::newRow("paused, nothing came") << "FFP" << 3 << true << 0ll << 0ll << 0ll << "Paused: 0 frames";
    QTest::newRow("one frame") << "PF" << 3 << true << 1ll << 1ll << 0ll << "Paused: 1 frame";
    QTest::newRow("filtered frames count, make no rows")
        << "PfffF" << 3 << true << 4ll << 1ll << 0ll << "Paused: 4 frames";
    QTest::newRow("resumed, all fit") << "PFFFR" << 3 << false << 0ll << 0ll << 0ll << "";
    QTest::newRow("resumed, one over") << "PFFFFR" << 3 << false << 0ll << 0ll << 1ll
                                       << "1 dropped while paused";
    QTest::newRow("rows, not frames, decide the drop")
        << "PffffffFFR" << 1 << false << 0ll << 0ll << 1ll << "1 dropped while paused";
    QTest::newRow("a second pause restarts the counts")
        << "PFFFFFRPF" << 3 << true << 1ll << 1ll << 0ll << "Paused: 1 frame";
    QTest::newRow("a second Pause while paused changes nothing")
        << "PFFPF" << 3 << true << 3ll << 3ll << 0ll << "Paused: 3 frames";
    QTest::newRow("Clear while paused restarts the count")
        << "PFFFFFCFF" << 3 << true << 2ll << 2ll << 0ll << "Paused: 2 frames";
    QTest::newRow("Clear after a drop takes the note away")
        << "PFFFFFRC" << 3 << false << 0ll << 0ll << 0ll << "";
    QTest::newRow("Resume while not paused drops nothing")
        << "RFR" << 0 << false << 0ll << 0ll << 0ll << "";
    QTest::newRow("tables of no rows drop all") << "PFFR" << 0 << false << 0ll << 0ll << 2ll
                                                << "2 dropped while paused";
}

void TestMonitorExport::pause_countsAndNote()
{
    QFETCH(QString, steps);
    QFETCH(int, tableRows);
    MonitorPause p;
    for (QChar step : steps) {
        switch (step.toLatin1()) {
        case 'P': p.pause(); break;
        case 'R': p.resume(tableRows); break;
        case 'f': p.frameArrived(); break;
        case 'r': p.rowMade(); break;
        case 'F': p.frameArrived(); p.rowMade(); break;
        case 'C': p.cleared(); break;
        }
    }
    QTEST(p.isPaused(), "paused");
    QTEST(p.framesWhilePaused(), "frames");
    QTEST(p.rowsWaiting(), "rows");
    QTEST(p.lastDropped(), "dropped");
    QTEST(p.note(), "note");
}

void TestMonitorExport::csv_golden()
{
    const qint64 start = 5'000'000;
    const QVector<ExportRow> rows = {
        row(start, "09903c64", "Note On", {"60/C4", "100", "1"}),
        row(start + 1'234'567, "0bb00b5a", "CC", {"11/Expression", "90", "1"}),
        row(start + 999, "0ffa0000", "Start", {"--", "--", "--"}), // rounds to 0.001
        row(start - 1'500, "", "Note On", {"a,b", "say \"hi\"", "x\ny"}), // before the start
        row(start + 3'600'000'000, "0ffc00", "Stop", {"--", "--", "--"}),
        row(start - 400, "0ee00040", "Pitch Bend", {"--", "8192", "1"}), // -0.0004 s is 0.000
    };
    const QByteArray expected = "time,status,data1,data2,channel,raw bytes\r\n"
                                "0.000,Note On,60/C4,100,1,09 90 3C 64\r\n"
                                "1.235,CC,11/Expression,90,1,0B B0 0B 5A\r\n"
                                "0.001,Start,--,--,--,0F FA 00 00\r\n"
                                "-0.002,Note On,\"a,b\",\"say \"\"hi\"\"\",\"x\ny\",\r\n"
                                "3600.000,Stop,--,--,--,0F FC 00\r\n"
                                "0.000,Pitch Bend,--,8192,1,0E E0 00 40\r\n";
    QCOMPARE(MonitorExport::csv(rows, start), expected);
    QCOMPARE(MonitorExport::csv({}, 0), QByteArray("time,status,data1,data2,channel,raw bytes\r\n"));
}

void TestMonitorExport::smfTrack_ticksMessagesAndMarkers_data()
{
    QTest::addColumn<QVector<ExportRow>>("rows");
    QTest::addColumn<QVector<MonitorExport::SmfEvent>>("events");
    QTest::addColumn<int>("skipped");
    QTest::newRow("nothing") << QVector<ExportRow>{} << QVector<MonitorExport::SmfEvent>{} << 0;
    QTest::newRow("first event at tick 0, whatever its time")
        << QVector<ExportRow>{row(123'456'789, "09903c64")}
        << QVector<MonitorExport::SmfEvent>{message(0, 0, "903c64")} << 0;
    QTest::newRow("500 us a tick, rounded to the nearest")
        << QVector<ExportRow>{row(0, "0bb00100"), row(249, "0bb00101"), row(250, "0bb00102"),
                              row(749, "0bb00103"), row(1000, "0bb00104"), row(10'000, "0bb00105")}
        << QVector<MonitorExport::SmfEvent>{message(0, 0, "b00100"), message(0, 0, "b00101"),
                                            message(1, 1, "b00102"), message(1, 0, "b00103"),
                                            message(2, 1, "b00104"), message(20, 18, "b00105")}
        << 0;
    QTest::newRow("never back in time")
        << QVector<ExportRow>{row(0, "09903c64"), row(5'000, "09903c65"), row(1'000, "09903c66"),
                              row(6'000, "09903c67")}
        << QVector<MonitorExport::SmfEvent>{message(0, 0, "903c64"), message(10, 10, "903c65"),
                                            message(10, 0, "903c66"), message(12, 2, "903c67")}
        << 0;
    QTest::newRow("real-time events become markers with the table's name")
        << QVector<ExportRow>{row(0, "0ff80000", "Tempo"), row(500, "0ffa0000", "Start"),
                              row(1'000, "0ffb0000", "Continue"), row(1'500, "0ffc0000", "Stop")}
        << QVector<MonitorExport::SmfEvent>{marker(0, 0, "Tempo"), marker(1, 1, "Start"),
                                            marker(2, 1, "Continue"), marker(3, 1, "Stop")}
        << 0;
    QTest::newRow("rows without a message are left out and start no clock")
        << QVector<ExportRow>{row(0, ""), row(100, "0ffc00", "Stop"), row(200, "0f f1 00 00"),
                              row(300, "09 90 80 00"), row(400, "0f fe 00 00"),
                              row(1'400, "09903c64"), row(2'400, "0ccf7f00")}
        << QVector<MonitorExport::SmfEvent>{message(0, 0, "903c64"), message(2, 2, "cf7f")} << 5;
}

void TestMonitorExport::smfTrack_ticksMessagesAndMarkers()
{
    QFETCH(QVector<ExportRow>, rows);
    const MonitorExport::SmfTrack track = MonitorExport::smfTrack(rows);
    QTEST(track.events, "events");
    QTEST(track.skipped, "skipped");
}

void TestMonitorExport::smfTrack_everyKindTimedFromArrival()
{
    // Property over every kind: each message is the frame's own bytes, each
    // tick the arrival's distance from the first in 500 us steps (nearest).
    const QVector<ExportRow> rows = everyKind();
    const MonitorExport::SmfTrack track = MonitorExport::smfTrack(rows);
    QCOMPARE(track.events.size(), rows.size());
    QCOMPARE(track.skipped, 0);
    qint64 previous = 0;
    for (int i = 0; i < rows.size(); ++i) {
        const MonitorExport::SmfEvent &e = track.events.at(i);
        const qint64 since = rows.at(i).frame.arrivedUs - rows.first().frame.arrivedUs;
        QCOMPARE(e.tick, (since + 250) / 500);
        QCOMPARE(e.delta, e.tick - previous);
        previous = e.tick;
        const QByteArray bytes = MidiMessage::fromEventFrame(rows.at(i).frame.frame());
        if (bytes.size() == 1)
            QCOMPARE(e.marker, rows.at(i).status.toUtf8());
        else
            QCOMPARE(e.message, bytes);
    }
    QCOMPARE(track.events.last().tick, qint64(8'000'000));
}

void TestMonitorExport::midiFile_readBackByMido_bytesTicksAndSeconds()
{
    if (MidoReader::python().isEmpty())
        QSKIP("No python3 here to read the file back with mido");
    const QVector<ExportRow> rows = everyKind();
    const MonitorExport::SmfTrack track = MonitorExport::smfTrack(rows);
    const QString path = dir.filePath(QStringLiteral("every-kind.mid"));
    QString error;
    QVERIFY2(saveFileAtomically(path, MonitorExport::midiFile(track), &error), qPrintable(error));

    MidoReader::File file;
    QVERIFY2(MidoReader::read(path, &file, &error), qPrintable(error));
    QCOMPARE(file.type, 0);
    QCOMPARE(file.tracks, 1);
    QCOMPARE(file.ticksPerBeat, 1000);
    // Tempo first, then every event, then the end of the track at the last tick.
    QCOMPARE(file.messages.size(), track.events.size() + 2);
    QCOMPARE(file.messages.first().meta, QStringLiteral("set_tempo"));
    QCOMPARE(file.messages.first().text, QStringLiteral("500000"));
    QCOMPARE(file.messages.last().meta, QStringLiteral("end_of_track"));
    QCOMPARE(file.messages.last().tick, track.events.last().tick);
    const qint64 t0 = rows.first().frame.arrivedUs;
    for (int i = 0; i < track.events.size(); ++i) {
        const MidoReader::Message &m = file.messages.at(i + 1);
        const MonitorExport::SmfEvent &e = track.events.at(i);
        QCOMPARE(m.tick, e.tick);
        if (e.marker.isEmpty()) {
            QCOMPARE(m.bytes.toHex(' '), e.message.toHex(' '));
        } else {
            QCOMPARE(m.meta, QStringLiteral("marker"));
            QCOMPARE(m.text.toUtf8(), e.marker);
        }
        // Real time: within half a tick (250 us) of the arrival.
        const double arrived = (rows.at(i).frame.arrivedUs - t0) / 1e6;
        QVERIFY2(qAbs(m.seconds - arrived) <= 0.00025 + 1e-6,
                 qPrintable(QStringLiteral("%1 s read, %2 s arrived").arg(m.seconds).arg(arrived)));
    }
}

void TestMonitorExport::midiFile_readBackByDrumstick()
{
    using namespace drumstick::File;
    const MonitorExport::SmfTrack track = MonitorExport::smfTrack(everyKind());
    QByteArray bytes = MonitorExport::midiFile(track);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QDataStream stream(&buffer);
    QSmf reader;
    QStringList read;
    QStringList errors;
    int division = 0;
    int tempo = 0;
    const auto at = [&reader](const QString &what) {
        return QStringLiteral("%1 %2").arg(reader.getCurrentTime()).arg(what);
    };
    const auto hex = [](std::initializer_list<int> b) {
        QByteArray out;
        for (int v : b)
            out.append(char(v));
        return QString::fromLatin1(out.toHex());
    };
    connect(&reader, &QSmf::signalSMFError, this, [&](const QString &e) { errors.append(e); });
    connect(&reader, &QSmf::signalSMFHeader, this, [&](int, int, int d) { division = d; });
    connect(&reader, &QSmf::signalSMFTempo, this, [&](int t) { tempo = t; });
    connect(&reader, &QSmf::signalSMFNoteOn, this,
            [&](int c, int n, int v) { read.append(at(hex({0x90 | c, n, v}))); });
    connect(&reader, &QSmf::signalSMFNoteOff, this,
            [&](int c, int n, int v) { read.append(at(hex({0x80 | c, n, v}))); });
    connect(&reader, &QSmf::signalSMFKeyPress, this,
            [&](int c, int n, int v) { read.append(at(hex({0xA0 | c, n, v}))); });
    connect(&reader, &QSmf::signalSMFCtlChange, this,
            [&](int c, int n, int v) { read.append(at(hex({0xB0 | c, n, v}))); });
    connect(&reader, &QSmf::signalSMFProgram, this,
            [&](int c, int p) { read.append(at(hex({0xC0 | c, p}))); });
    connect(&reader, &QSmf::signalSMFChanPress, this,
            [&](int c, int p) { read.append(at(hex({0xD0 | c, p}))); });
    connect(&reader, &QSmf::signalSMFPitchBend, this, [&](int c, int v) {
        v += 8192; // drumstick centres the bend on 0
        read.append(at(hex({0xE0 | c, v & 0x7F, v >> 7})));
    });
    connect(&reader, &QSmf::signalSMFText2, this, [&](int type, const QByteArray &text) {
        if (type == drumstick::File::marker)
            read.append(at(QString::fromUtf8(text)));
    });
    reader.readFromStream(&stream);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    QCOMPARE(division, 1000);
    QCOMPARE(tempo, 500000);
    QStringList expected;
    for (const MonitorExport::SmfEvent &e : track.events)
        expected.append(QStringLiteral("%1 %2").arg(e.tick).arg(
            e.marker.isEmpty() ? QString::fromLatin1(e.message.toHex()) : QString::fromUtf8(e.marker)));
    QCOMPARE(read, expected);
}

void TestMonitorExport::withSuffix_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("csv");
    QTest::addColumn<QString>("path");
    QTest::newRow("csv added") << "/x/take" << true << "/x/take.csv";
    QTest::newRow("mid added") << "/x/take" << false << "/x/take.mid";
    QTest::newRow("csv kept") << "/x/take.CSV" << true << "/x/take.CSV";
    QTest::newRow("midi kept") << "/x/take.midi" << false << "/x/take.midi";
    QTest::newRow("the user's own suffix kept") << "/x/take.txt" << true << "/x/take.txt";
    QTest::newRow("a dot in the folder only") << "/x.y/take" << false << "/x.y/take.mid";
}

void TestMonitorExport::withSuffix()
{
    QFETCH(QString, name);
    QFETCH(bool, csv);
    QTEST(MonitorExport::withSuffix(name, csv ? MonitorExport::Format::Csv
                                              : MonitorExport::Format::MidiFile),
          "path");
}

void TestMonitorExport::saveFile_atomicAndFailureSaysWhy()
{
    const QString path = dir.filePath(QStringLiteral("saved.csv"));
    QString error;
    QVERIFY(saveFileAtomically(path, "first", &error));
    QVERIFY(saveFileAtomically(path, "second", &error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("second"));
    // No folder of that name: nothing written, and the reason given.
    const QString missing = dir.filePath(QStringLiteral("no-such-folder/x.csv"));
    QVERIFY(!saveFileAtomically(missing, "third", &error));
    QVERIFY2(error.startsWith(QLatin1String("cannot open the file: ")), qPrintable(error));
    QVERIFY(!QFile::exists(missing));
    // A folder in the file's place.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.mid")));
    QVERIFY(!saveFileAtomically(dir.filePath(QStringLiteral("taken.mid")), "x", &error));
    QVERIFY(!error.isEmpty());
}

void TestMonitorExport::toolTip_fullTextAndArrivalTimeOfTheRow()
{
    const qint64 at = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7, 89)).toMSecsSinceEpoch() * 1000 + 999;
    QCOMPARE(EventTableModel::toolTip(QStringLiteral("11/Expression"), at),
             QStringLiteral("11/Expression\nArrived 05:06:07.089"));

    EventTableModel model;
    const QList<qint64> arrivals = {at, at + 1'500'000};
    for (qint64 arrived : arrivals) {
        QList<QStandardItem *> items;
        for (const char *text : {"CC", "64/Pedal (Sustain)", "127", "16"})
            items.append(new QStandardItem(QString::fromLatin1(text)));
        items.first()->setData(arrived, EventTableModel::arrivalRole);
        model.appendRow(items);
    }
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 4; ++c) {
            const QModelIndex cell = model.index(r, c);
            QCOMPARE(cell.data(Qt::ToolTipRole).toString(),
                     cell.data().toString() + QStringLiteral("\nArrived ")
                         + sinceEpochText(arrivals.at(r)));
        }
    }
    QCOMPARE(model.index(1, 1).data(Qt::ToolTipRole).toString(),
             QStringLiteral("64/Pedal (Sustain)\nArrived 05:06:08.589"));
    // A row without an arrival time shows its text only; other roles are the items'.
    model.appendRow(new QStandardItem(QStringLiteral("PC")));
    QCOMPARE(model.index(2, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("PC"));
    QCOMPARE(model.index(0, 2).data().toString(), QStringLiteral("127"));
}

QTEST_GUILESS_MAIN(TestMonitorExport)
#include "tst_monitorexport.moc"
