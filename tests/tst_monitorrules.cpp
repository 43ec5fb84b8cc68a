// The live monitor's pure rules: decoding an event frame, its display row,
// the routing of an event to table and pictures, and the picture angles.
#include "monitor/displayrow.h"
#include "monitor/framerouter.h"
#include "monitor/pedalangles.h"
#include "monitor/pedalevent.h"

#include <QtTest>

Q_DECLARE_METATYPE(FrameRouter::Settings)

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

QString rowText(const DisplayRow &r)
{
    return QStringList{r.event, r.number, r.valueText, r.channel}.join(QLatin1Char('|'));
}

FrameRouter::Settings settings(int pedalType, int messageNumber = 0)
{
    FrameRouter::Settings s;
    s.pedalType = pedalType;
    s.messageNumber = messageNumber;
    return s;
}

} // namespace

class TestMonitorRules : public QObject
{
    Q_OBJECT

private slots:
    void decode_fieldsAndShortFrames_data();
    void decode_fieldsAndShortFrames();
    void displayRow_golden_data();
    void displayRow_golden();
    void displayRow_valueIsTheValueColumn();
    void route_branches_data();
    void route_branches();
    void route_triggerLevelSequence_suppressesOneRowAndHoldsTwoPictures();
    void route_ignoreCountSurvivesOtherBranches();
    void expressionAngle_data();
    void expressionAngle();
    void hiHatAngle_data();
    void hiHatAngle();
    void switchResetTarget_data();
    void switchResetTarget();
};

void TestMonitorRules::decode_fieldsAndShortFrames_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QList<int>>("fields"); // message, status, channel, kind, data1, data2
    QTest::newRow("note on, slot 5, channel 3") << hex("59923c64") << QList<int>{5, 0x92, 3, 0x90, 60, 100};
    QTest::newRow("header low nibble unused") << hex("fbbf0780") << QList<int>{15, 0xBF, 16, 0xB0, 7, 128};
    QTest::newRow("real time") << hex("0ffa0000") << QList<int>{0, 0xFA, 11, 0xF0, 0, 0};
    QTest::newRow("three bytes: no data 2") << hex("20c005") << QList<int>{2, 0xC0, 1, 0xC0, 5, 0};
    QTest::newRow("two bytes: no data") << hex("30e0") << QList<int>{3, 0xE0, 1, 0xE0, 0, 0};
    QTest::newRow("one byte") << hex("70") << QList<int>{7, 0, 1, 0, 0, 0};
    QTest::newRow("longer frame reads four") << hex("0b907f7f99") << QList<int>{0, 0x90, 1, 0x90, 127, 127};
}

void TestMonitorRules::decode_fieldsAndShortFrames()
{
    QFETCH(QByteArray, frame);
    QFETCH(QList<int>, fields);
    const PedalEvent e = PedalEvent::decode(frame);
    QCOMPARE((QList<int>{e.messageNumber, e.status, e.channel, e.kind, e.data1, e.data2}), fields);
}

void TestMonitorRules::displayRow_golden_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("ccNames");
    QTest::addColumn<int>("noteMode");
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("value");
    const struct
    {
        const char *name, *frame;
        bool ccNames;
        int mode;
        const char *row;
        int value;
    } rows[] = {
        {"note on C3 convention", "09903c64", false, 2, "Note On|60/C3|100|1", 100},
        {"note on C4 convention", "09903c64", false, 1, "Note On|60/C4|100|1", 100},
        {"note on C5 convention", "09903c64", false, 3, "Note On|60/C5|100|1", 100},
        {"note off, channel 16", "088f0000", false, 2, "Note Off|0/C-2|0|16", 0},
        {"note off, no naming mode", "08803c00", false, 0, "Note Off|60/|0|1", 0},
        {"cc without names", "0bb0075a", false, 2, "CC|7|90|1", 90},
        {"cc with names", "0bb0075a", true, 2, "CC|7/Volume|90|1", 90},
        {"cc with names, unnamed controller", "0bb3037f", true, 2, "CC|3/***|127|4", 127},
        {"pc", "0cc00500", false, 2, "PC|5|--|1", 0},
        {"channel pressure", "0dd54000", false, 2, "CH|--|64|6", 64},
        {"pitch bend centre", "0ee00040", false, 2, "Pitch Bend|--|8192|1", 8192},
        {"pitch bend top", "0ee17f7f", false, 2, "Pitch Bend|--|16383|2", 16383},
        {"pitch bend lsb only", "0ee00100", false, 2, "Pitch Bend|--|1|1", 1},
        {"kind below 80", "01050607", false, 2, "Unknown|--|--|6", 0},
        {"other system status", "0ff90000", false, 2, "Unknown|--|--|--", 0},
        {"F8", "0ff80000", false, 2, "Tempo|--|--|--", 0},
        {"FA", "0ffa0000", false, 2, "Start|--|--|--", 0},
        {"FB", "0ffb0000", false, 2, "Continue|--|--|--", 0},
        {"FC", "0ffc0000", false, 2, "Stop|--|--|--", 0},
        {"short note on: data 2 missing", "09903c", false, 2, "Note On|60/C3|0|1", 0},
        {"short cc: data missing", "0bb0", false, 2, "CC|0|0|1", 0},
        {"short start", "0ffa", false, 2, "Start|--|--|--", 0},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << hex(r.frame) << r.ccNames << r.mode << QString::fromLatin1(r.row)
                              << r.value;
}

void TestMonitorRules::displayRow_golden()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, ccNames);
    QFETCH(int, noteMode);
    QFETCH(QString, row);
    QFETCH(int, value);
    const DisplayRow r = DisplayRow::of(PedalEvent::decode(frame), ccNames, noteMode);
    QCOMPARE(rowText(r), row);
    QCOMPARE(r.value, value);
}

void TestMonitorRules::displayRow_valueIsTheValueColumn()
{
    // Every status and a spread of data bytes: the number the rules read back
    // is the number the value column shows ("--" counting as 0).
    for (int status = 0; status < 256; ++status) {
        for (int data : {0, 1, 64, 127}) {
            const PedalEvent e = PedalEvent::decode(
                bytes({0x10, status, data, 127 - data}));
            const DisplayRow r = DisplayRow::of(e, status % 2, 2);
            QCOMPARE(r.value, r.valueText == QLatin1String("--") ? 0 : r.valueText.toInt());
            QCOMPARE(r.isNote(), e.kind == 0x80 || e.kind == 0x90);
        }
    }
}

void TestMonitorRules::route_branches_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<FrameRouter::Settings>("settings");
    QTest::addColumn<bool>("row");
    QTest::addColumn<int>("picture");
    QTest::addColumn<int>("value");

    using R = FrameRouter;
    FrameRouter::Settings s;

    // Message-number filter of the current pedal type.
    s = settings(0, 3);
    s.filterTicked = true;
    QTest::newRow("filter on, other slot: dropped") << hex("20b00740") << s << false << int(R::NoPicture) << 0;
    QTest::newRow("filter on, own slot") << hex("30b00740") << s << true << int(R::ExpressionPicture) << 64;
    s.filterTicked = false;
    QTest::newRow("filter off, other slot: row, still picture") << hex("20b00740") << s << true << int(R::NoPicture) << 0;
    s = settings(2, 1);
    s.filterTicked = true;
    QTest::newRow("hi-hat filter drops real time too") << hex("0ffa0000") << s << false << int(R::NoPicture) << 0;

    // Real-time events drive the switch whatever the page, with value 0.
    QTest::newRow("start on expression page") << hex("0ffa0000") << settings(0) << true << int(R::SwitchPicture) << 0;
    QTest::newRow("stop on hi-hat page") << hex("0ffc0000") << settings(2) << true << int(R::SwitchPicture) << 0;
    QTest::newRow("clock, other slot: row only") << hex("1ff80000") << settings(1) << true << int(R::NoPicture) << 0;
    QTest::newRow("short start: row only") << hex("0ffa00") << settings(0) << true << int(R::NoPicture) << 0;

    // Expression.
    QTest::newRow("expression cc") << hex("0bb0075a") << settings(0) << true << int(R::ExpressionPicture) << 90;
    QTest::newRow("expression pitch bend") << hex("0ee00040") << settings(0) << true << int(R::ExpressionPicture) << 8192;
    QTest::newRow("expression unknown: value 0") << hex("01050607") << settings(0) << true << int(R::ExpressionPicture) << 0;
    QTest::newRow("expression note, trigger off") << hex("09903c40") << settings(0) << true << int(R::ExpressionPicture) << 64;
    s = settings(0);
    s.triggerLevel = 64;
    QTest::newRow("trigger on, cc type: note shows only a row") << hex("09903c40") << s << true << int(R::NoPicture) << 0;
    QTest::newRow("trigger on, cc type: cc moves") << hex("0bb00740") << s << true << int(R::ExpressionPicture) << 64;
    s.expressionEvent = 1;
    QTest::newRow("trigger hit: picture, no row") << hex("09903c40") << s << false << int(R::ExpressionPicture) << 64;
    QTest::newRow("trigger missed: picture and row") << hex("09903c41") << s << true << int(R::ExpressionPicture) << 65;
    s.messageNumber = 4;
    QTest::newRow("trigger hit, other slot: no row, no picture") << hex("09903c40") << s << false << int(R::NoPicture) << 0;
    s = settings(0);
    s.expressionEvent = 1;
    s.triggerLevel = 1;
    QTest::newRow("value 0 never matches a level") << hex("09803c00") << s << true << int(R::ExpressionPicture) << 0;

    // Switch: no message-number test; PC drives with data 1.
    QTest::newRow("switch cc") << hex("0bb04050") << settings(1) << true << int(R::SwitchPicture) << 80;
    QTest::newRow("switch cc, other slot still moves") << hex("5bb04050") << settings(1) << true << int(R::SwitchPicture) << 80;
    s = settings(1);
    s.switchEvent = 1;
    QTest::newRow("switch pc type: data 1") << hex("0cc00900") << s << true << int(R::SwitchPicture) << 9;
    QTest::newRow("switch pc type, note: data 1") << hex("09903c64") << s << true << int(R::SwitchPicture) << 60;
    s.switchEvent = 2;
    QTest::newRow("switch note type: value") << hex("09903c64") << s << true << int(R::SwitchPicture) << 100;

    // Hi-hat.
    QTest::newRow("hi-hat cc") << hex("0bb00464") << settings(2) << true << int(R::HiHatPicture) << 100;
    QTest::newRow("hi-hat cc type ignores note on") << hex("09902c64") << settings(2) << true << int(R::NoPicture) << 0;
    QTest::newRow("hi-hat cc type ignores note off") << hex("08802c00") << settings(2) << true << int(R::NoPicture) << 0;
    QTest::newRow("hi-hat cc, other slot: row only") << hex("1bb00464") << settings(2) << true << int(R::NoPicture) << 0;
    s = settings(2);
    s.hatEvent = 1;
    QTest::newRow("hi-hat note type: note moves") << hex("09902c64") << s << true << int(R::HiHatPicture) << 100;

    QTest::newRow("unknown pedal type: row only") << hex("0bb00464") << settings(-1) << true << int(R::NoPicture) << 0;
}

void TestMonitorRules::route_branches()
{
    QFETCH(QByteArray, frame);
    QFETCH(FrameRouter::Settings, settings);
    QFETCH(bool, row);
    QFETCH(int, picture);
    QFETCH(int, value);
    const PedalEvent e = PedalEvent::decode(frame);
    int ignore = 0;
    const FrameRouter::Action a =
        FrameRouter::route(e, DisplayRow::of(e, false, 2), frame.size(), settings, ignore);
    QCOMPARE(a.appendRow, row);
    QCOMPARE(int(a.picture), picture);
    QCOMPARE(a.pictureValue, value);
    QCOMPARE(a.rowFirst, e.isRealTime() && !a.dropped);
}

void TestMonitorRules::route_triggerLevelSequence_suppressesOneRowAndHoldsTwoPictures()
{
    FrameRouter::Settings s = settings(0);
    s.expressionEvent = 1;
    s.triggerLevel = 64;
    int ignore = 0;
    // (velocity, row expected, picture expected, count after)
    const QList<std::tuple<int, bool, bool, int>> steps = {
        {64, false, true, 2}, {64, true, false, 1}, {10, true, false, 0},
        {20, true, true, 0},  {64, false, true, 2}, {0, true, false, 1},
    };
    for (int i = 0; i < steps.size(); ++i) {
        const auto [velocity, row, picture, after] = steps.at(i);
        const PedalEvent e = PedalEvent::decode(bytes({0x09, 0x90, 60, velocity}));
        const FrameRouter::Action a = FrameRouter::route(e, DisplayRow::of(e, false, 2), 4, s, ignore);
        QVERIFY2(a.appendRow == row, qPrintable(QString::number(i)));
        QVERIFY2((a.picture == FrameRouter::ExpressionPicture) == picture, qPrintable(QString::number(i)));
        QCOMPARE(ignore, after);
    }
}

void TestMonitorRules::route_ignoreCountSurvivesOtherBranches()
{
    int ignore = 2;
    const PedalEvent cc = PedalEvent::decode(hex("0bb00740"));
    const DisplayRow row = DisplayRow::of(cc, false, 2);
    for (int type : {0, 1, 2}) {
        FrameRouter::Settings s = settings(type);
        s.triggerLevel = type == 0 ? 0 : 64; // expression with trigger off; others whatever
        FrameRouter::route(cc, row, 4, s, ignore);
    }
    FrameRouter::route(PedalEvent::decode(hex("0ffa0000")), row, 4, settings(0), ignore);
    QCOMPARE(ignore, 2);
    FrameRouter::Settings note = settings(0);
    note.expressionEvent = 1;
    note.triggerLevel = 64;
    const FrameRouter::Action a = FrameRouter::route(cc, row, 4, note, ignore);
    QCOMPARE(ignore, 1);
    QCOMPARE(a.picture, FrameRouter::NoPicture);
    QVERIFY(a.appendRow);
}

void TestMonitorRules::expressionAngle_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("angle"); // < 0: no movement
    QTest::newRow("low end rests at 15") << 127 << 0 << 0 << 15.0;
    QTest::newRow("high end flat") << 127 << 0 << 127 << 0.0;
    QTest::newRow("middle") << 127 << 0 << 64 << 7.4409;
    QTest::newRow("order of the ends does not matter") << 0 << 127 << 64 << 7.4409;
    QTest::newRow("below the range clamps to 15") << 100 << 20 << 5 << 15.0;
    QTest::newRow("above the range clamps to 0") << 100 << 20 << 120 << 0.0;
    QTest::newRow("quarter of a narrow range") << 30 << 10 << 15 << 11.25;
    QTest::newRow("pitch bend range") << 16383 << 0 << 8192 << 7.4994;
    QTest::newRow("equal ends: no move") << 64 << 64 << 64 << -1.0;
    QTest::newRow("equal ends at zero: no move") << 0 << 0 << 100 << -1.0;
}

void TestMonitorRules::expressionAngle()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, value);
    QFETCH(double, angle);
    const std::optional<float> got = PedalAngles::expression(a, b, value);
    QCOMPARE(got.has_value(), angle >= 0);
    if (got)
        QVERIFY2(qAbs(double(*got) - angle) < 1e-3, qPrintable(QString::number(*got)));
}

void TestMonitorRules::hiHatAngle_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("angle"); // 99: no movement
    QTest::newRow("high end") << 127 << 0 << 127 << -5.0;
    QTest::newRow("one") << 127 << 0 << 1 << -0.03937;
    QTest::newRow("zero rests at 3") << 127 << 0 << 0 << 3.0;
    QTest::newRow("zero rests even outside the range") << 100 << 20 << 0 << 3.0;
    QTest::newRow("low end") << 100 << 20 << 20 << 0.0;
    QTest::newRow("below the range, unclamped") << 100 << 20 << 10 << 0.625;
    QTest::newRow("above the range, unclamped") << 100 << 20 << 120 << -6.25;
    QTest::newRow("equal ends: no move") << 50 << 50 << 20 << 99.0;
    QTest::newRow("equal ends, zero: no move") << 50 << 50 << 0 << 99.0;
}

void TestMonitorRules::hiHatAngle()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, value);
    QFETCH(double, angle);
    const std::optional<float> got = PedalAngles::hiHat(a, b, value);
    QCOMPARE(got.has_value(), angle != 99.0);
    if (got)
        QVERIFY2(qAbs(double(*got) - angle) < 1e-4, qPrintable(QString::number(*got)));
}

void TestMonitorRules::switchResetTarget_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("angle");
    QTest::newRow("minimum rests") << 0 << 127 << 0 << 0.0;
    QTest::newRow("maximum pressed") << 0 << 127 << 127 << 8.0;
    QTest::newRow("middle") << 0 << 127 << 64 << 4.0315;
    QTest::newRow("inverted range: maximum end rests") << 127 << 0 << 0 << 0.0;
    QTest::newRow("inverted range: minimum end pressed") << 127 << 0 << 127 << 8.0;
    QTest::newRow("inverted range: middle") << 100 << 20 << 60 << 4.0;
    QTest::newRow("beyond the maximum, unclamped") << 10 << 20 << 25 << 12.0;
    QTest::newRow("no range: pressed") << -1 << -1 << 50 << 8.0;
    QTest::newRow("equal ends, the end itself") << 40 << 40 << 40 << 0.0;
    QTest::newRow("equal ends, another value: rest") << 40 << 40 << 41 << 0.0;
    QTest::newRow("equal ends, zero: rest") << 40 << 40 << 0 << 0.0;
}

void TestMonitorRules::switchResetTarget()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, value);
    QFETCH(double, angle);
    const double got = PedalAngles::switchResetTarget(a, b, value);
    QVERIFY(std::isfinite(got));
    QVERIFY2(qAbs(got - angle) < 1e-3, qPrintable(QString::number(got)));
}

QTEST_APPLESS_MAIN(TestMonitorRules)
#include "tst_monitorrules.moc"
