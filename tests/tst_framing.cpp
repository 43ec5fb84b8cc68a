// Golden bytes for the stream framing: what each sequence of reads yields.
#include "device/streamframer.h"

#include <QtTest>

namespace {

/// Records everything the framer reports, classifying packets as the link does.
class RecordingSink : public StreamFramer::Sink
{
public:
    QStringList frames;       // "type:HEX"
    QList<QByteArray> texts;
    QByteArray rejectedBytes;
    int statusValue = -1;

    void frame(int type, const QByteArray &bytes) override
    {
        frames.append(QString::number(type) + QLatin1Char(':')
                      + QString::fromLatin1(bytes.toHex().toUpper()));
    }
    void rejected(const QByteArray &bytes) override { rejectedBytes += bytes; }
    void text(const QByteArray &reply) override { texts.append(reply); }
    void packet(QByteArray &bytes) override
    {
        StreamFramer::processPacket(bytes, statusValue, *this);
    }
};

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QString text(const char *ascii)
{
    return QString::fromLatin1(QByteArray(ascii).toHex());
}

} // namespace

class tst_Framing : public QObject
{
    Q_OBJECT

private slots:
    void golden_data();
    void golden();
    void statusCapture_onlySixByteReplies();
    void unfinishedPacket_bufferStaysBounded();
    void unfinishedPacket_laterPacketStillRecognised();
    void acceptedStatusBytes_exactlyTheMidiOnes();
};

void tst_Framing::golden_data()
{
    QTest::addColumn<QString>("reads");       // hex reads separated by '|'
    QTest::addColumn<QStringList>("frames");  // "type:HEX" in emission order
    QTest::addColumn<QString>("remaining");   // buffer after the last read, hex
    QTest::addColumn<int>("status");          // status value after the reads
    QTest::addColumn<int>("texts");           // text replies reported

    QTest::newRow("short reads wait for a fourth byte")
        << "09|90|3C|64" << QStringList{"4:09903C64"} << "" << -1 << 0;
    QTest::newRow("note on") << "09903C64" << QStringList{"4:09903C64"} << "" << -1 << 0;
    QTest::newRow("six-byte status reply")
        << "F000215E03F7" << QStringList{"0:F000215E03F7"} << "" << 3 << 0;
    QTest::newRow("handshake reply")
        << "F000215E0103F7" << QStringList{"0:F000215E0103F7"} << "" << -1 << 0;
    QTest::newRow("handshake reply of four pedals is no configuration reply")
        << "F000215E0104F7" "09903C64"
        << QStringList{"0:F000215E0104F7", "4:09903C64"} << "" << -1 << 0;
    QTest::newRow("24-byte configuration reply")
        << "F000215E100400000100000700007F0032000000320000F7"
        << QStringList{"2:F000215E100400000100000700007F0032000000320000F7"} << "" << -1
        << 0;
    QTest::newRow("configuration reply with trigger level 247 is cut by its length")
        << "F000215E100400000103000700007F0032F70000000000F7" "0BB00740"
        << QStringList{"2:F000215E100400000103000700007F0032F70000000000F7", "4:0BB00740"}
        << "" << -1 << 0;
    QTest::newRow("23-byte configuration reply ends at byte 22")
        << "F000215E10040000010300F700007F0032F700000000F7" "0BB00740"
        << QStringList{"2:F000215E10040000010300F700007F0032F700000000F7", "4:0BB00740"} << ""
        << -1 << 0;
    QTest::newRow("eight bytes with sub-code 03 is a set reply")
        << "F000215E100300F7" << QStringList{"1:F000215E100300F7"} << "" << -1 << 0;
    QTest::newRow("nine-byte set reply")
        << "F000215E10030000F7" << QStringList{"1:F000215E10030000F7"} << "" << -1 << 0;
    QTest::newRow("eight bytes with sub-code 05 is a delete reply")
        << "F000215E030500F7" << QStringList{"3:F000215E030500F7"} << "" << -1 << 0;
    QTest::newRow("seven bytes are always a short reply")
        << "F000215E0305F7" << QStringList{"0:F000215E0305F7"} << "" << -1 << 0;
    QTest::newRow("garbage before F0 is dropped")
        << "010203F000215E03F7" << QStringList{"0:F000215E03F7"} << "" << 3 << 0;
    QTest::newRow("eight bytes of garbage before a status reply")
        << "0102030405060708F000215E05F7" << QStringList{"0:F000215E05F7"} << "" << 5 << 0;
    QTest::newRow("reply split over two reads")
        << "F000215E1003|0000F7" << QStringList{"1:F000215E10030000F7"} << "" << -1 << 0;
    QTest::newRow("unfinished reply waits for its F7")
        << "F000215E1003" << QStringList{} << "F000215E1003" << -1 << 0;
    QTest::newRow("model line is a text reply, no frame")
        << text("ZT-3\r\n") << QStringList{} << "" << -1 << 1;
    QTest::newRow("version reply is a text reply, no event")
        << "AACC0656" + text("1.0.2\r\n") + "0BB00740" << QStringList{"4:0BB00740"} << "" << -1
        << 1;
    QTest::newRow("text reply split anywhere waits for its line end")
        << "AACC|06|56" + text("1.0") + "|" + text(".2\r") + "|" + text("\n")
        << QStringList{} << "" << -1 << 1;
    QTest::newRow("tail of an event waits for its rest")
        << "09903C640B|B007|40" << QStringList{"4:09903C64", "4:0BB00740"} << "" << -1 << 0;
    QTest::newRow("packet of no reply size yields no frame")
        << "F000215E1122334455F7" << QStringList{} << "" << -1 << 0;
    QTest::newRow("event whose byte 0 is F0 is one event")
        << "F0903C64F000215E03F7" << QStringList{"4:F0903C64", "0:F000215E03F7"} << "" << 3 << 0;
    QTest::newRow("two replies in one read")
        << "F000215E0103F7F000215E100300F7"
        << QStringList{"0:F000215E0103F7", "1:F000215E100300F7"} << "" << -1 << 0;
    QTest::newRow("events around a reply, in stream order")
        << "09903C64F000215E04F70BB0074009803C00"
        << QStringList{"4:09903C64", "0:F000215E04F7", "4:0BB00740", "4:09803C00"} << "" << 4
        << 0;
    QTest::newRow("events after a nine-byte reply and a model line")
        << "F000215E10030000F7" "09903C64" + text("ZT-3\r\n") + "0BB00740"
        << QStringList{"1:F000215E10030000F7", "4:09903C64", "4:0BB00740"} << "" << -1 << 1;
    QTest::newRow("erase confirmation without line end")
        << text("ERASE END") << QStringList{} << "" << -1 << 1;
    QTest::newRow("event right after text: the byte before a status is its header")
        << text("ERASE ENDxy") + "29903C64" << QStringList{"4:29903C64"} << "" << -1 << 1;
    QTest::newRow("clock and transport events")
        << "0FF800000FFA00000FFB00000FFC0000"
        << QStringList{"4:0FF80000", "4:0FFA0000", "4:0FFB0000", "4:0FFC0000"} << "" << -1 << 0;
    QTest::newRow("system messages other than clock and transport are skipped")
        << "0FF900000FFD0000" "F000215E03F7" << QStringList{"0:F000215E03F7"} << "" << 3 << 0;
    QTest::newRow("text without line end is no reply")
        << text("ZT-3") + "F000215E03F7" << QStringList{"0:F000215E03F7"} << "" << 3 << 0;
}

void tst_Framing::golden()
{
    QFETCH(QString, reads);
    QFETCH(QStringList, frames);
    QFETCH(QString, remaining);
    QFETCH(int, status);
    QFETCH(int, texts);

    StreamFramer framer;
    RecordingSink sink;
    for (const QString &read : reads.split(QLatin1Char('|')))
        framer.feed(QByteArray::fromHex(read.toLatin1()), sink);

    QCOMPARE(sink.frames, frames);
    QCOMPARE(QString::fromLatin1(framer.buffer().toHex().toUpper()), remaining.toUpper());
    QCOMPARE(sink.statusValue, status);
    QCOMPARE(sink.texts.size(), texts);
}

void tst_Framing::statusCapture_onlySixByteReplies()
{
    StreamFramer framer;
    RecordingSink sink;
    framer.feed(hex("F000215E7FF7"), sink);
    QCOMPARE(sink.statusValue, 0x7F);
    framer.feed(hex("F000215E0102F7"), sink); // handshake: not a status
    QCOMPARE(sink.statusValue, 0x7F);
    framer.feed(hex("F000215EFFF7"), sink);
    QCOMPARE(sink.statusValue, 255);
    QCOMPARE(sink.frames.size(), 3);
}

void tst_Framing::unfinishedPacket_bufferStaysBounded()
{
    StreamFramer framer;
    RecordingSink sink;
    framer.feed(hex("F000215E"), sink);
    for (int i = 0; i < 50; ++i) {
        framer.feed(QByteArray(1000, 0x11), sink);
        QVERIFY(framer.buffer().size() < StreamFramer::MaxItem);
    }
    // A packet that never ends is given up; the events after it still come.
    framer.feed(hex("F000215E") + QByteArray(6000, 0x01) + hex("09903C64"), sink);
    QVERIFY(framer.buffer().size() < StreamFramer::MaxItem);
    QCOMPARE(sink.frames, QStringList{"4:09903C64"});
    QCOMPARE(sink.rejectedBytes.size(), 4 + 50000 + 4 + 6000);
}

void tst_Framing::unfinishedPacket_laterPacketStillRecognised()
{
    StreamFramer framer;
    RecordingSink sink;
    framer.feed(hex("F000215E") + QByteArray(10000, 0x22), sink);
    framer.feed(hex("F7") + hex("F000215E0102F7"), sink);
    QCOMPARE(sink.frames.last(), QStringLiteral("0:F000215E0102F7"));
    QVERIFY(framer.buffer().isEmpty());
}

void tst_Framing::acceptedStatusBytes_exactlyTheMidiOnes()
{
    for (int b = 0; b < 256; ++b) {
        const bool expected = (b >= 0x80 && b <= 0xEF) || b == 0xF8 || b == 0xFA || b == 0xFB
                              || b == 0xFC;
        QCOMPARE(StreamFramer::isAcceptedStatus(quint8(b)), expected);
    }
}

QTEST_GUILESS_MAIN(tst_Framing)
#include "tst_framing.moc"
