#include "pedal/pedalmessage.h"
#include "pedal/vocabulary.h"

#include <QComboBox>
#include <QtTest>

#include <climits>

class TestVocabulary : public QObject
{
    Q_OBJECT

private slots:
    void ccName_namedControllers_data();
    void ccName_namedControllers();
    void ccName_unnamedAndInvalid();
    void noteName_conventions_data();
    void noteName_conventions();
    void noteName_everyNoteFollowsTheOctaveRule();
    void fillCcCombo_appendsNumberedItemsWithoutClearing();
    void fillNoteCombo_refillsAndEmptiesOnUnknownMode();
    void itemLists_indexEqualsValue();
    void eventTables_roundTrip();
    void eventLists_offerTheRightEvents();
};

void TestVocabulary::ccName_namedControllers_data()
{
    QTest::addColumn<int>("cc");
    QTest::addColumn<QString>("name");
    const QList<QPair<int, const char *>> names = {
        {0, "Bank MSB"},         {1, "Modulation"},       {2, "Breath"},
        {4, "Foot Controller"},  {5, "Portamento Time"},  {6, "Data Entry MSB"},
        {7, "Volume"},           {8, "Balance"},          {10, "PAN"},
        {11, "Expression"},      {32, "Bank LSB"},        {38, "Data Entry LSB"},
        {64, "Pedal (Sustain)"}, {65, "Portamento"},      {66, "Pedal-Sostenuto"},
        {67, "Pedal-Soft"},      {69, "Hold 2"},          {71, "Harmonic Content"},
        {72, "Release Time"},    {73, "Attack Time"},     {74, "Brightness"},
        {84, "Portamento Ctrl"}, {91, "Reverb Depth"},    {92, "Tremolo Depth"},
        {93, "Chorus Depth"},    {94, "Celeste Depth"},   {95, "Phaser Depth"},
        {96, "Data Increment"},  {97, "Data Decrement"},  {98, "NRPN LSB"},
        {99, "NRPN MSB"},        {100, "RPN LSB"},        {101, "RPN MSB"},
        {120, "All Sound Off"},  {121, "Reset Cntrl"},    {122, "Local Cntrl"},
        {123, "All Notes Off"},  {124, "Omni Off"},       {125, "Omni On"},
        {126, "Mono On"},        {127, "Poly On"},
    };
    for (const auto &entry : names)
        QTest::addRow("%d", entry.first) << entry.first << QString::fromLatin1(entry.second);
}

void TestVocabulary::ccName_namedControllers()
{
    QFETCH(int, cc);
    QFETCH(QString, name);
    QCOMPARE(ccName(cc), name);
}

void TestVocabulary::ccName_unnamedAndInvalid()
{
    int named = 0;
    for (int cc = 0; cc < 128; ++cc) {
        const QString name = ccName(cc);
        QVERIFY(!name.isEmpty());
        if (name != QLatin1String("***"))
            ++named;
    }
    QCOMPARE(named, 41);
    QCOMPARE(ccName(3), QStringLiteral("***"));
    QCOMPARE(ccName(68), QStringLiteral("***"));
    QCOMPARE(ccName(128), QStringLiteral("Invalid CC"));
    QCOMPARE(ccName(-1), QStringLiteral("Invalid CC"));
    QCOMPARE(ccName(INT_MIN), QStringLiteral("Invalid CC"));
}

void TestVocabulary::noteName_conventions_data()
{
    QTest::addColumn<int>("note");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("name");
    QTest::newRow("0 C4-convention") << 0 << 1 << "C-1";
    QTest::newRow("60 C4-convention") << 60 << 1 << "C4";
    QTest::newRow("127 C4-convention") << 127 << 1 << "G9";
    QTest::newRow("0 C3-convention") << 0 << 2 << "C-2";
    QTest::newRow("60 C3-convention") << 60 << 2 << "C3";
    QTest::newRow("127 C3-convention") << 127 << 2 << "G8";
    QTest::newRow("0 C5-convention") << 0 << 3 << "C0";
    QTest::newRow("60 C5-convention") << 60 << 3 << "C5";
    QTest::newRow("127 C5-convention") << 127 << 3 << "G10";
    QTest::newRow("sharp, negative octave") << 13 << 2 << "C#-1";
    QTest::newRow("B just below octave 0") << 11 << 1 << "B-1";
    QTest::newRow("A#") << 70 << 1 << "A#4";
    QTest::newRow("128 invalid") << 128 << 1 << "Invalid Note";
    QTest::newRow("-1 invalid") << -1 << 2 << "Invalid Note";
    QTest::newRow("invalid note wins over invalid mode") << 200 << 7 << "Invalid Note";
    QTest::newRow("unknown mode 7") << 5 << 7 << "";
    QTest::newRow("unknown mode 0") << 60 << 0 << "";
    QTest::newRow("unknown mode -1") << 60 << -1 << "";
}

void TestVocabulary::noteName_conventions()
{
    QFETCH(int, note);
    QFETCH(int, mode);
    QFETCH(QString, name);
    QCOMPARE(noteName(note, mode), name);
}

void TestVocabulary::noteName_everyNoteFollowsTheOctaveRule()
{
    const QStringList letters = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const int offset[4] = {0, -1, -2, 0};
    for (int mode = 1; mode <= 3; ++mode) {
        for (int n = 0; n < 128; ++n) {
            const QString expected = letters.at(n % 12) + QString::number(n / 12 + offset[mode]);
            QCOMPARE(noteName(n, mode), expected);
        }
    }
}

void TestVocabulary::fillCcCombo_appendsNumberedItemsWithoutClearing()
{
    QComboBox box;
    fillCcCombo(&box);
    QCOMPARE(box.count(), 128);
    QCOMPARE(box.itemText(0), QStringLiteral("0) Bank MSB"));
    QCOMPARE(box.itemText(7), QStringLiteral("7) Volume"));
    QCOMPARE(box.itemText(12), QStringLiteral("12) ***"));
    QCOMPARE(box.itemText(64), QStringLiteral("64) Pedal (Sustain)"));
    QCOMPARE(box.itemText(68), QStringLiteral("68) ***"));
    QCOMPARE(box.itemText(70), QStringLiteral("70) ***"));
    QCOMPARE(box.itemText(127), QStringLiteral("127) Poly On"));
    QVERIFY(box.itemIcon(5).isNull());
    QVERIFY(!box.itemData(5).isValid());

    fillCcCombo(&box);
    QCOMPARE(box.count(), 256);
    QCOMPARE(box.itemText(128), QStringLiteral("0) Bank MSB"));
}

void TestVocabulary::fillNoteCombo_refillsAndEmptiesOnUnknownMode()
{
    QComboBox box;
    fillNoteCombo(&box, 1);
    fillNoteCombo(&box, 1);
    QCOMPARE(box.count(), 128);
    QCOMPARE(box.itemText(60), QStringLiteral("60 / C4"));
    QCOMPARE(box.itemText(0), QStringLiteral("0 / C-1"));
    QVERIFY(!box.itemData(60).isValid());

    fillNoteCombo(&box, 2);
    QCOMPARE(box.count(), 128);
    QCOMPARE(box.itemText(60), QStringLiteral("60 / C3"));
    fillNoteCombo(&box, 3);
    QCOMPARE(box.itemText(127), QStringLiteral("127 / G10"));

    fillNoteCombo(&box, 0);
    QCOMPARE(box.count(), 0);
    fillNoteCombo(&box, 4);
    QCOMPARE(box.count(), 0);
}

void TestVocabulary::itemLists_indexEqualsValue()
{
    using namespace Vocabulary;
    const QStringList &gain = gainItems();
    QCOMPARE(gain.size(), 101);
    for (int i = 0; i < gain.size(); ++i)
        QCOMPARE(gain.at(i), QString::number(i - 50));
    QCOMPARE(gain.at(50), QStringLiteral("0"));

    const QStringList &pitch = pitchBendItems();
    QCOMPARE(pitch.size(), 16384);
    for (int i = 0; i < pitch.size(); ++i)
        QCOMPARE(pitch.at(i), QString::number(i));

    const QStringList &pitchTrigger = pitchBendTriggerLevelItems();
    QCOMPARE(pitchTrigger.size(), 16384);
    QCOMPARE(pitchTrigger.first(), QStringLiteral("OFF"));
    for (int i = 1; i < pitchTrigger.size(); ++i)
        QCOMPARE(pitchTrigger.at(i), QString::number(i));

    const QStringList &trigger = triggerLevelItems();
    QCOMPARE(trigger.size(), 128);
    QCOMPARE(trigger.first(), QStringLiteral("OFF"));
    QCOMPARE(trigger.last(), QStringLiteral("127"));

    QCOMPARE(channelItems().size(), 16);
    QCOMPARE(channelItems().first(), QStringLiteral("1"));
    QCOMPARE(channelItems().last(), QStringLiteral("16"));
    QCOMPARE(valueItems().size(), 128);
    QCOMPARE(plainControllerItems(), valueItems());
    QCOMPARE(valueItems().at(127), QStringLiteral("127"));

    const QStringList &numbered = numberedControllerItems();
    QCOMPARE(numbered.size(), 128);
    for (int i = 0; i < numbered.size(); ++i)
        QCOMPARE(numbered.at(i), QStringLiteral("%1) %2").arg(i).arg(ccName(i)));

    for (int mode = 1; mode <= 3; ++mode) {
        const QStringList &notes = noteItems(mode);
        QCOMPARE(notes.size(), 128);
        for (int n = 0; n < 128; ++n)
            QCOMPARE(notes.at(n), QStringLiteral("%1 / %2").arg(n).arg(noteName(n, mode)));
    }
    QVERIFY(noteItems(0).isEmpty());
}

void TestVocabulary::eventTables_roundTrip()
{
    const QStringList &names = Vocabulary::eventNames();
    const QMap<QString, int> codes = Vocabulary::eventCodes();
    QCOMPARE(names.size(), 9);
    QCOMPARE(codes.size(), 9);
    for (int code = 0; code < names.size(); ++code)
        QCOMPARE(codes.value(names.at(code)), code);
    QCOMPARE(names.at(EventCc), QStringLiteral("Continuous Controllers (CC)"));
    QCOMPARE(names.at(EventProgramChange), QStringLiteral("Program Change (PC)"));
    QCOMPARE(names.at(EventChannelPressure), QStringLiteral("Channel Pressure"));
    QCOMPARE(names.at(EventContinue), QStringLiteral("Continue"));
    QCOMPARE(names.at(EventStop), QStringLiteral("Stop"));
    QCOMPARE(names.at(EventTempo), QStringLiteral("Tempo"));

    QCOMPARE(Vocabulary::eventKey(EventPitchBend), QStringLiteral("pitch"));
    QCOMPARE(Vocabulary::eventKey(EventChannelPressure), QStringLiteral("ch"));
    QCOMPARE(Vocabulary::eventKey(EventContinue), QStringLiteral("ctu"));
    QCOMPARE(Vocabulary::eventKey(9), QString());
    QCOMPARE(Vocabulary::eventKey(-1), QString());
}

void TestVocabulary::eventLists_offerTheRightEvents()
{
    using namespace Vocabulary;
    QCOMPARE(expressionEventItems(),
             QStringList({"Continuous Controllers (CC)", "NOTE", "Pitch Bend", "Channel Pressure"}));
    QCOMPARE(switchEventItems(false),
             QStringList({"Continuous Controllers (CC)", "Program Change (PC)", "NOTE", "Stop",
                          "Continue", "Start"}));
    QCOMPARE(switchEventItems(true), QStringList(switchEventItems(false)) << "Tempo");
    QCOMPARE(hatEventItems(), QStringList({"Continuous Controllers (CC)", "NOTE"}));
    QCOMPARE(pedalTypeItems(), QStringList({"Expression", "Switch", "Hi-Hat"}));
    QCOMPARE(triggerModeItems(),
             QStringList({"Single", "Toggle", "Reset", "Increase", "Decrease"}));
}

QTEST_MAIN(TestVocabulary)
#include "tst_vocabulary.moc"
