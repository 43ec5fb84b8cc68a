// The framing as a property: a stream built from known items, cut into reads
// anywhere, yields exactly the items' frames and text replies, in order, and
// accounts for every byte.
#include "device/streamframer.h"
#include "sim/streamcorpus.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

/// Everything the framer reports, in order: "type:HEX", "text:HEX" and
/// "skip:HEX" (adjacent skips merged, since where a read ends may split them).
class Transcript : public StreamFramer::Sink
{
public:
    QStringList entries;
    QByteArray accounted; ///< every byte reported, in order
    int statusValue = -1;

    void frame(int type, const QByteArray &bytes) override
    {
        add(QString::number(type), bytes);
    }
    void rejected(const QByteArray &bytes) override
    {
        if (!entries.isEmpty() && entries.last().startsWith(QLatin1String("skip:"))) {
            entries.last() += QString::fromLatin1(bytes.toHex().toUpper());
            accounted += bytes;
            return;
        }
        add(QStringLiteral("skip"), bytes);
    }
    void text(const QByteArray &reply) override { add(QStringLiteral("text"), reply); }
    void packet(QByteArray &bytes) override
    {
        StreamFramer::processPacket(bytes, statusValue, *this);
    }

private:
    void add(const QString &what, const QByteArray &bytes)
    {
        entries.append(what + QLatin1Char(':') + QString::fromLatin1(bytes.toHex().toUpper()));
        accounted += bytes;
    }
};

/// Feeds the stream cut at the given offsets (ascending, inside the stream).
Transcript frameInReads(const QByteArray &stream, const QList<int> &cuts)
{
    StreamFramer framer;
    Transcript t;
    int from = 0;
    for (int cut : cuts) {
        framer.feed(stream.mid(from, cut - from), t);
        from = cut;
    }
    framer.feed(stream.mid(from), t);
    t.accounted += framer.buffer();
    return t;
}

QStringList expectedEntries(const QList<StreamCorpus::Item> &items)
{
    QStringList out;
    for (const StreamCorpus::Item &item : items) {
        const QString hex = QString::fromLatin1(item.bytes.toHex().toUpper());
        if (item.type == StreamCorpus::Garbage) {
            if (!out.isEmpty() && out.last().startsWith(QLatin1String("skip:")))
                out.last() += hex;
            else
                out.append(QStringLiteral("skip:") + hex);
        } else if (item.type == StreamCorpus::TextReply) {
            out.append(QStringLiteral("text:") + hex);
        } else {
            out.append(QString::number(item.type) + QLatin1Char(':') + hex);
        }
    }
    return out;
}

StreamCorpus::Draw drawFrom(QRandomGenerator &random)
{
    return [&random](quint32 n) { return random.bounded(n); };
}

} // namespace

class tst_LinkFraming : public QObject
{
    Q_OBJECT

private slots:
    void corpus_data();
    void corpus();
    void handWritten_data();
    void handWritten();
};

void tst_LinkFraming::corpus_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 150; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("stream %1").arg(seed))) << seed;
}

/// Every kind of item (events of every accepted status, replies of every type
/// and length, configuration replies with F7 in their data, model, version and
/// erase texts, garbage) in random streams.
void tst_LinkFraming::corpus()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QList<StreamCorpus::Item> items = StreamCorpus::build(40, drawFrom(random));
    const QByteArray stream = StreamCorpus::join(items);
    const QStringList expected = expectedEntries(items);

    const Transcript whole = frameInReads(stream, {});
    QCOMPARE(whole.entries, expected);
    QCOMPARE(whole.accounted, stream);

    for (int cut = 1; cut < stream.size(); ++cut) {
        const Transcript split = frameInReads(stream, {cut});
        if (split.entries != expected)
            QFAIL(qPrintable(QStringLiteral("cut at %1 of %2").arg(cut).arg(QString::fromLatin1(stream.toHex()))));
        QCOMPARE(split.accounted, stream);
    }
    for (int round = 0; round < 60; ++round) {
        QList<int> cuts;
        const int count = 1 + int(random.bounded(round % 2 ? 40u : 6u));
        for (int i = 0; i < count; ++i)
            cuts.append(1 + int(random.bounded(quint32(stream.size() - 1))));
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
        const Transcript split = frameInReads(stream, cuts);
        QCOMPARE(split.entries, expected);
        QCOMPARE(split.accounted, stream);
    }

    // One byte per read, the way a slow line delivers it.
    QList<int> everyByte;
    for (int cut = 1; cut < stream.size(); ++cut)
        everyByte.append(cut);
    QCOMPARE(frameInReads(stream, everyByte).entries, expected);
}

void tst_LinkFraming::handWritten_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("entries");

    const QByteArray version = QByteArray::fromHex("AACC06") + "V1.0.2\r\n";
    QTest::newRow("version reply, then events: no Program Change invented")
        << version + QByteArray::fromHex("0BB00740")
        << QStringList{"text:" + QString::fromLatin1(version.toHex().toUpper()), "4:0BB00740"};
    QTest::newRow("events around a six-byte reply")
        << QByteArray::fromHex("09903C40F000215E03F70BB00740")
        << QStringList{"4:09903C40", "0:F000215E03F7", "4:0BB00740"};
    QTest::newRow("events around a seven-byte reply of four pedals")
        << QByteArray::fromHex("09903C40F000215E0104F70BB00740")
        << QStringList{"4:09903C40", "0:F000215E0104F7", "4:0BB00740"};
    QTest::newRow("events around a nine-byte reply")
        << QByteArray::fromHex("09903C40F000215E10030100F70BB00740")
        << QStringList{"4:09903C40", "1:F000215E10030100F7", "4:0BB00740"};
    QTest::newRow("configuration reply with trigger level 503")
        << QByteArray::fromHex("F000215E100400000103000700007F0032F70000000001F7" "0EE00040")
        << QStringList{"2:F000215E100400000103000700007F0032F70000000001F7", "4:0EE00040"};
    QTest::newRow("erase confirmation between events")
        << QByteArray::fromHex("0BB00740") + "ERASE END" + QByteArray::fromHex("FBB00740")
        << QStringList{"4:0BB00740", "text:" + QString::fromLatin1(QByteArray("ERASE END").toHex().toUpper()),
                       "4:FBB00740"};
    QTest::newRow("a packet of no reply size is skipped whole")
        << QByteArray::fromHex("F000215E903C40F709903C40")
        << QStringList{"skip:F000215E903C40F7", "4:09903C40"};
    QTest::newRow("random garbage does not swallow the packet after it")
        << QByteArray::fromHex("1290F0") + QByteArray::fromHex("F000215E03F7")
        << QStringList{"skip:1290F0", "0:F000215E03F7"};
}

void tst_LinkFraming::handWritten()
{
    QFETCH(QByteArray, stream);
    QFETCH(QStringList, entries);
    for (int cut = 0; cut < stream.size(); ++cut) {
        const Transcript t = frameInReads(stream, cut ? QList<int>{cut} : QList<int>{});
        QCOMPARE(t.entries, entries);
        QCOMPARE(t.accounted, stream);
    }
}

QTEST_GUILESS_MAIN(tst_LinkFraming)
#include "tst_linkframing.moc"
