#include "pedal/configcommands.h"

#include <QtTest>

using namespace ConfigCommands;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QString spaced(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

/// Every selector on every page holds a different value, so each byte of the
/// built message shows which selector it came from.
EditorSnapshot distinctEditor()
{
    EditorSnapshot e;
    e.pedalIndex = 2;
    e.pedalText = QStringLiteral("3");
    e.messageIndex = 5;
    e.curveCode = 77;
    e.expressionCc = {1, 11, 21, 101, 31, 41};
    e.expressionNote = {2, 12, 22, 102, 32, 42};
    e.expressionPitch = {3, 0, 300, 9000, 33, 43};
    e.expressionPressure = {4, 0, 24, 104, 34, 44};
    e.expressionTriggerLevel = 100;
    e.expressionPressNote = 60;
    e.expressionReleaseNote = 61;
    e.switchCc = {0, 5, 15, 25, 105};
    e.switchNote = {0, 6, 16, 26, 106};
    e.switchPc = {0, 7, 0, 27, 107};
    e.hatCc = {8, 18, 28, 108, 38, 48};
    e.hatNote = {9, 19, 29, 109, 39, 49};
    e.hatTriggerLevel = 9;
    e.hatPressNote = 70;
    e.hatReleaseNote = 71;
    return e;
}

/// The documented example: expression CC on channel 1, controller 7, full range.
EditorSnapshot expressionCcExample()
{
    EditorSnapshot e;
    e.pedalIndex = 0;
    e.pedalText = QStringLiteral("1");
    e.messageIndex = 0;
    e.pedalType = PedalTypeExpression;
    e.expressionEvent = EventCc;
    e.expressionCc = {0, 7, 0, 127, 50, 50};
    return e;
}

} // namespace

class TestSetCommand : public QObject
{
    Q_OBJECT

private slots:
    void fixedCommands();
    void pedalMessage_fieldOrderAndRoundTrip();
    void pedalMessage_shortInputIsRefused();
    void set_framesTheMessage();
    void build_expressionCcExample();
    void build_expressionCcExampleInverted();
    void build_pitchBendSplitsFourteenBits();
    void build_pitchBendTriggerLevelUsesHighByte();
    void build_switchPcSingle();
    void build_tempoDependsOnPedalText();
    void build_switchStopSendsNoChannel();
    void build_emptySelectorsBecomeFF();
    void build_unknownPedalTypeFillsOnlyCommonBytes();
    void build_byteSources_data();
    void build_byteSources();
    void checkAskForm_data();
    void checkAskForm();
};

void TestSetCommand::fixedCommands()
{
    QCOMPARE(spaced(handshake()), QStringLiteral("F0 00 21 5E 01 01 F7"));
    QCOMPARE(spaced(askShort(1, 15)), QStringLiteral("F0 00 21 5E 04 04 01 0F F7"));
    QCOMPARE(spaced(askLong(0, 3, 2)), QStringLiteral("F0 00 21 5E 04 04 00 03 02 F7"));
    QCOMPARE(spaced(askShort(-1, 0)), QStringLiteral("F0 00 21 5E 04 04 FF 00 F7"));
    QCOMPARE(spaced(deletePedal(2)), QStringLiteral("F0 00 21 5E 03 05 02 F7"));
    QCOMPARE(spaced(deletePedal(-1)), QStringLiteral("F0 00 21 5E 03 05 FF F7"));
    QCOMPARE(spaced(factoryReset()), QStringLiteral("F0 00 21 5E 03 05 58 F7"));
    QCOMPARE(factoryReset(), deletePedal(0x58));
}

void TestSetCommand::pedalMessage_fieldOrderAndRoundTrip()
{
    PedalMessage m;
    m.pedal = 0x01; m.message = 0x02; m.pedalType = 0x03; m.channel = 0x04; m.event = 0x05;
    m.dataA = 0x06; m.dataB = 0x07; m.valueA = 0x08; m.valueB = 0x09; m.triggerMode = 0x0A;
    m.gain = 0x0B; m.triggerLevel = 0x0C; m.pressNote = 0x0D; m.releaseNote = 0x0E;
    m.curve = 0x0F; m.curveCode = 0x10; m.triggerLevelHigh = 0xF4;
    QCOMPARE(spaced(m.toFields()),
             QStringLiteral("01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 F4"));

    PedalMessage back;
    QVERIFY(PedalMessage::fromFields(m.toFields(), &back));
    QCOMPARE(back, m);

    QByteArray reply = hex("F0 00 21 5E 10 04") + m.toFields() + hex("F7");
    PedalMessage fromReply;
    QVERIFY(PedalMessage::readFrom(reply, &fromReply));
    QCOMPARE(fromReply, m);

    QByteArray frame(PedalMessage::FrameSize, char(0xAA));
    m.writeTo(frame);
    QCOMPARE(frame.size(), PedalMessage::FrameSize);
    QCOMPARE(quint8(frame.at(5)), quint8(0xAA));
    QCOMPARE(quint8(frame.at(23)), quint8(0xAA));
    QCOMPARE(frame.mid(6, 17), m.toFields());
}

void TestSetCommand::pedalMessage_shortInputIsRefused()
{
    PedalMessage m;
    m.pedal = 9;
    QVERIFY(!PedalMessage::fromFields(QByteArray(16, '\1'), &m));
    QVERIFY(!PedalMessage::readFrom(QByteArray(22, '\1'), &m));
    QCOMPARE(m.pedal, quint8(9));
    QVERIFY(PedalMessage::readFrom(QByteArray(23, '\1'), &m));
    QCOMPARE(m.pedal, quint8(1));
}

void TestSetCommand::set_framesTheMessage()
{
    PedalMessage m;
    m.pedal = 3;
    m.valueB = 0xF4;
    const QByteArray frame = set(m);
    QCOMPARE(frame.size(), 24);
    QCOMPARE(spaced(frame),
             QStringLiteral("F0 00 21 5E 10 03 03 00 00 00 00 00 00 00 F4 00 00 00 00 00 00 00 00 F7"));
}

void TestSetCommand::build_expressionCcExample()
{
    for (int shownMode : {0, 3}) {
        EditorSnapshot e = expressionCcExample();
        e.switchShownMode = shownMode;
        e.curveCode = 58;
        const QByteArray bytes = set(buildPedalMessage(e));
        const QString m = QStringLiteral("%1").arg(shownMode, 2, 16, QLatin1Char('0'));
        QCOMPARE(spaced(bytes.mid(6, 15)),
                 QStringLiteral("00 00 01 00 00 07 00 00 7F %1 32 00 00 00 32").arg(m));
        QCOMPARE(quint8(bytes.at(21)), quint8(58));
        QCOMPARE(quint8(bytes.at(22)), quint8(0));
    }
}

void TestSetCommand::build_expressionCcExampleInverted()
{
    EditorSnapshot e = expressionCcExample();
    e.expressionInverted = true;
    const QByteArray bytes = set(buildPedalMessage(e));
    QCOMPARE(spaced(bytes.mid(13, 2)), QStringLiteral("7F 00"));
}

void TestSetCommand::build_pitchBendSplitsFourteenBits()
{
    EditorSnapshot e = expressionCcExample();
    e.expressionEvent = EventPitchBend;
    e.expressionPitch = {0, 0, 0, 16383, 50, 50};
    QCOMPARE(spaced(set(buildPedalMessage(e)).mid(11, 4)), QStringLiteral("00 7F 00 7F"));
    e.expressionInverted = true;
    QCOMPARE(spaced(set(buildPedalMessage(e)).mid(11, 4)), QStringLiteral("7F 00 7F 00"));
}

void TestSetCommand::build_pitchBendTriggerLevelUsesHighByte()
{
    EditorSnapshot e = expressionCcExample();
    e.expressionEvent = EventPitchBend;
    e.expressionTriggerLevel = 300;
    PedalMessage m = buildPedalMessage(e);
    QCOMPARE(m.triggerLevel, quint8(0x2C));
    QCOMPARE(m.triggerLevelHigh, quint8(0x01));
    e.expressionTriggerLevel = 16383;
    m = buildPedalMessage(e);
    QCOMPARE(m.triggerLevel, quint8(0xFF));
    QCOMPARE(m.triggerLevelHigh, quint8(0x3F));

    // Outside Pitch Bend the index goes out as one byte and the high byte stays 0.
    e.expressionEvent = EventCc;
    e.expressionTriggerLevel = 127;
    m = buildPedalMessage(e);
    QCOMPARE(m.triggerLevel, quint8(127));
    QCOMPARE(m.triggerLevelHigh, quint8(0));
}

void TestSetCommand::build_switchPcSingle()
{
    EditorSnapshot e;
    e.pedalIndex = 0;
    e.pedalType = PedalTypeSwitch;
    e.switchEvent = EventProgramChange;
    e.switchPc = {0, 0, 0, 5, 127};
    e.switchShownMode = 0;
    const QByteArray bytes = set(buildPedalMessage(e));
    QCOMPARE(quint8(bytes.at(11)), quint8(5));
    QCOMPARE(spaced(bytes.mid(12, 4)), QStringLiteral("00 00 00 00"));
}

void TestSetCommand::build_tempoDependsOnPedalText()
{
    EditorSnapshot e;
    e.pedalType = PedalTypeSwitch;
    e.switchEvent = EventTempo;
    e.pedalIndex = 3;
    e.pedalText = QStringLiteral("4");
    QCOMPARE(spaced(set(buildPedalMessage(e)).mid(11, 4)), QStringLiteral("00 00 00 00"));
    for (const char *other : {"1", "3", "5", ""}) {
        e.pedalText = QString::fromLatin1(other);
        QCOMPARE(spaced(set(buildPedalMessage(e)).mid(11, 4)), QStringLiteral("00 00 01 F4"));
    }
    // Only the text counts, not the index.
    e.pedalIndex = 0;
    e.pedalText = QStringLiteral("4");
    QCOMPARE(spaced(set(buildPedalMessage(e)).mid(11, 4)), QStringLiteral("00 00 00 00"));
}

void TestSetCommand::build_switchStopSendsNoChannel()
{
    EditorSnapshot e = distinctEditor();
    e.pedalType = PedalTypeSwitch;
    e.switchEvent = EventStop;
    const PedalMessage m = buildPedalMessage(e);
    QCOMPARE(m.channel, quint8(0));
    QCOMPARE(m.event, quint8(EventStop));
}

void TestSetCommand::build_emptySelectorsBecomeFF()
{
    EditorSnapshot e = expressionCcExample();
    e.pedalIndex = -1;
    e.pedalText.clear();
    e.expressionCc.data = -1;
    e.expressionPressNote = -1;
    const PedalMessage m = buildPedalMessage(e);
    QCOMPARE(m.pedal, quint8(0xFF));
    QCOMPARE(m.dataA, quint8(0xFF));
    QCOMPARE(m.pressNote, quint8(0xFF));
}

void TestSetCommand::build_unknownPedalTypeFillsOnlyCommonBytes()
{
    EditorSnapshot e = distinctEditor();
    e.pedalType = 0;
    e.expressionEvent = EventCc;
    e.switchShownMode = 2;
    QCOMPARE(spaced(buildPedalMessage(e).toFields()),
             QStringLiteral("02 05 00 00 00 00 00 00 00 02 00 00 00 00 00 4D 00"));
}

void TestSetCommand::build_byteSources_data()
{
    QTest::addColumn<int>("pedalType");
    QTest::addColumn<int>("event");
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("fields");

    // Fields: pedal message type chan event A B vA vB mode gain trig press rel curve code high.
    const auto row = [](const char *name, int type, int event, bool inverted, int mode,
                        const char *fields) {
        QTest::newRow(name) << type << event << inverted << mode << QString::fromLatin1(fields);
    };
    row("expression CC", 1, EventCc, false, 1,           "02 05 01 01 00 0B 00 15 65 01 1F 64 3C 3D 29 4D 00");
    row("expression CC evert", 1, EventCc, true, 1,      "02 05 01 01 00 0B 00 65 15 01 1F 64 3C 3D 29 4D 00");
    row("expression NOTE", 1, EventNote, false, 0,       "02 05 01 02 02 0C 00 16 66 00 20 64 3C 3D 2A 4D 00");
    row("expression NOTE evert", 1, EventNote, true, 4,  "02 05 01 02 02 0C 00 66 16 04 20 64 3C 3D 2A 4D 00");
    row("expression PB", 1, EventPitchBend, false, 1,    "02 05 01 03 03 02 46 2C 28 01 21 64 3C 3D 2B 4D 00");
    row("expression PB evert", 1, EventPitchBend, true, 1, "02 05 01 03 03 46 02 28 2C 01 21 64 3C 3D 2B 4D 00");
    row("expression ChP", 1, EventChannelPressure, false, 1, "02 05 01 04 04 18 68 00 00 01 22 64 3C 3D 2C 4D 00");
    row("expression ChP evert", 1, EventChannelPressure, true, 1, "02 05 01 04 04 68 18 00 00 01 22 64 3C 3D 2C 4D 00");

    row("switch CC single", 2, EventCc, false, 0,        "02 05 02 05 00 0F 00 19 00 00 00 00 00 00 00 4D 00");
    row("switch CC single evert", 2, EventCc, true, 0,   "02 05 02 05 00 0F 00 19 00 00 00 00 00 00 00 4D 00");
    row("switch CC toggle", 2, EventCc, false, 1,        "02 05 02 05 00 0F 00 19 69 01 00 00 00 00 00 4D 00");
    row("switch CC decrease evert", 2, EventCc, true, 4, "02 05 02 05 00 0F 00 69 19 04 00 00 00 00 00 4D 00");
    row("switch NOTE single", 2, EventNote, false, 0,    "02 05 02 06 02 10 00 1A 00 00 00 00 00 00 00 4D 00");
    row("switch NOTE reset", 2, EventNote, false, 2,     "02 05 02 06 02 10 00 1A 6A 02 00 00 00 00 00 4D 00");
    row("switch NOTE reset evert", 2, EventNote, true, 2, "02 05 02 06 02 10 00 6A 1A 02 00 00 00 00 00 4D 00");
    row("switch PC single", 2, EventProgramChange, false, 0, "02 05 02 07 01 1B 00 00 00 00 00 00 00 00 00 4D 00");
    row("switch PC single evert", 2, EventProgramChange, true, 0, "02 05 02 07 01 1B 00 00 00 00 00 00 00 00 00 4D 00");
    row("switch PC increase", 2, EventProgramChange, false, 3, "02 05 02 07 01 1B 6B 00 00 03 00 00 00 00 00 4D 00");
    row("switch PC increase evert", 2, EventProgramChange, true, 3, "02 05 02 07 01 6B 1B 00 00 03 00 00 00 00 00 4D 00");
    row("switch Stop", 2, EventStop, true, 0,            "02 05 02 00 07 00 00 00 00 00 00 00 00 00 00 4D 00");
    row("switch Continue", 2, EventContinue, false, 0,   "02 05 02 00 06 00 00 00 00 00 00 00 00 00 00 4D 00");
    row("switch Start", 2, EventStart, false, 0,         "02 05 02 00 05 00 00 00 00 00 00 00 00 00 00 4D 00");
    row("switch Tempo", 2, EventTempo, true, 0,          "02 05 02 00 08 00 00 01 F4 00 00 00 00 00 00 4D 00");

    row("hi-hat CC", 3, EventCc, false, 1,               "02 05 03 08 00 12 00 1C 6C 01 26 09 46 47 30 4D 00");
    row("hi-hat CC evert", 3, EventCc, true, 0,          "02 05 03 08 00 12 00 6C 1C 00 26 09 46 47 30 4D 00");
    row("hi-hat NOTE", 3, EventNote, false, 1,           "02 05 03 09 02 13 00 1D 6D 01 27 09 46 47 31 4D 00");
    row("hi-hat NOTE evert", 3, EventNote, true, 1,      "02 05 03 09 02 13 00 6D 1D 01 27 09 46 47 31 4D 00");
}

void TestSetCommand::build_byteSources()
{
    QFETCH(int, pedalType);
    QFETCH(int, event);
    QFETCH(bool, inverted);
    QFETCH(int, mode);
    QFETCH(QString, fields);

    EditorSnapshot e = distinctEditor();
    e.pedalType = pedalType;
    // The other pedal types' event selections must not leak into the message.
    e.expressionEvent = pedalType == PedalTypeExpression ? event : EventNote;
    e.switchEvent = pedalType == PedalTypeSwitch ? event : EventProgramChange;
    e.hatEvent = pedalType == PedalTypeHiHat ? event : EventNote;
    e.expressionInverted = e.switchInverted = e.hatInverted = false;
    if (pedalType == PedalTypeExpression)
        e.expressionInverted = inverted;
    else if (pedalType == PedalTypeSwitch)
        e.switchInverted = inverted;
    else
        e.hatInverted = inverted;
    e.switchCc.mode = e.switchNote.mode = e.switchPc.mode = mode;
    e.switchShownMode = mode;

    const QByteArray frame = set(buildPedalMessage(e));
    QCOMPARE(frame.size(), 24);
    QCOMPARE(spaced(frame.left(6)), QStringLiteral("F0 00 21 5E 10 03"));
    QCOMPARE(spaced(frame.mid(6, 17)), fields);
    QCOMPARE(quint8(frame.at(23)), quint8(0xF7));
}

void TestSetCommand::checkAskForm_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("pedal");
    QTest::addColumn<bool>("longForm");

    const QString qrx10 = QStringLiteral("Veltrano QRX-10 (ttyACM0)");
    const QString qrx20 = QStringLiteral("Veltrano QRX-20 (ttyACM0)");
    QTest::newRow("QRX-10 no status yet") << qrx10 << -1 << 0 << false;
    QTest::newRow("QRX-10 no status, no pedal") << qrx10 << -1 << -1 << false;
    QTest::newRow("QRX-10 status 0") << qrx10 << 0 << 2 << true;
    QTest::newRow("QRX-10 status names pedal") << qrx10 << 2 << 1 << true;
    QTest::newRow("QRX-10 status names other pedal") << qrx10 << 2 << 0 << false;
    QTest::newRow("QRX-10 status 0x0F") << qrx10 << 0x0F << 0 << false;

    QTest::newRow("QRX-20 0x05 pedal 2 absent") << qrx20 << 0x05 << 1 << false;
    QTest::newRow("QRX-20 0x05 pedal 1 present") << qrx20 << 0x05 << 0 << true;
    QTest::newRow("QRX-20 0x05 pedal 3 present") << qrx20 << 0x05 << 2 << true;
    QTest::newRow("QRX-20 0x08 pedal 4 present") << qrx20 << 0x08 << 3 << true;
    QTest::newRow("QRX-20 0x0F pedal 1") << qrx20 << 0x0F << 0 << false;
    QTest::newRow("QRX-20 0x0F pedal 4") << qrx20 << 0x0F << 3 << false;
    QTest::newRow("QRX-20 pedal 5 counts as absent") << qrx20 << 0x1F << 4 << false;
    QTest::newRow("QRX-20 status 0") << qrx20 << 0 << 1 << true;
    QTest::newRow("QRX-20 no status yet") << qrx20 << -1 << 0 << false;
    QTest::newRow("QRX-20 no pedal") << qrx20 << 0x01 << -1 << false;
    QTest::newRow("QRX-20 high bits ignored") << qrx20 << 0x12 << 1 << true;

    QTest::newRow("other model") << QStringLiteral("Veltrano ZT-3") << 0 << 0 << false;
    QTest::newRow("nothing selected") << QString() << 1 << 0 << false;
    QTest::newRow("\"10\" is tested first") << QStringLiteral("QRX-20 10") << 0x0F << 0x0E
                                            << true;
}

void TestSetCommand::checkAskForm()
{
    QFETCH(QString, device);
    QFETCH(int, value);
    QFETCH(int, pedal);
    QFETCH(bool, longForm);
    const AskForm form = ConfigCommands::checkAskForm(device, value, pedal);
    QCOMPARE(form == AskForm::Long, longForm);
}

QTEST_MAIN(TestSetCommand)
#include "tst_setcommand.moc"
