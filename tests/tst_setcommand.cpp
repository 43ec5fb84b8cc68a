#include "pedal/configcommands.h"
#include "support/setcommandgolden.h"

#include <QtTest>

using namespace ConfigCommands;
using SetCommandGolden::distinctEditor;
using SetCommandGolden::spaced;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
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
    QTest::addColumn<int>("row");
    const QList<SetCommandGolden::Row> rows = SetCommandGolden::rows();
    for (int i = 0; i < rows.size(); ++i)
        QTest::newRow(rows.at(i).name) << i;
}

void TestSetCommand::build_byteSources()
{
    QFETCH(int, row);
    const SetCommandGolden::Row golden = SetCommandGolden::rows().at(row);
    const QByteArray frame = set(buildPedalMessage(SetCommandGolden::editorFor(golden)));
    QCOMPARE(frame.size(), 24);
    QCOMPARE(spaced(frame.left(6)), QStringLiteral("F0 00 21 5E 10 03"));
    QCOMPARE(spaced(frame.mid(6, 17)), golden.fields);
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
