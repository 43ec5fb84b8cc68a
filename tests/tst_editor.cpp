// The pedal editor of the main window: start-up lists, page switching, twin
// selectors, trigger modes and levels, page resets, and the set command built
// from the real selectors.
#include "app/widget.h"
#include "curve/mycustomplot.h"
#include "device/devicesource.h"
#include "pedal/pedalmessage.h"
#include "support/comboitems.h"
#include "support/fakedevicesource.h"
#include "support/scopedcurrentdir.h"
#include "support/editordriver.h"
#include "support/setcommandgolden.h"
#include "ui_widget.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kCc = QStringLiteral("Continuous Controllers (CC)");

/// Indexes of one ranged page: chl, ctl (or -2 where there is none), min, max, gain, curve.
using PageState = QList<int>;

PageState pageState(QComboBox *chl, QComboBox *ctl, QComboBox *min, QComboBox *max,
                    QComboBox *gain, QComboBox *curve)
{
    return {chl->currentIndex(), ctl ? ctl->currentIndex() : -2, min->currentIndex(),
            max->currentIndex(), gain->currentIndex(), curve->currentIndex()};
}

PageState expressionCc(Ui::Widget *ui)
{
    return pageState(ui->expression_cc_comboBox_chl, ui->expression_cc_comboBox_ctl,
                     ui->expression_cc_comboBox_valmin, ui->expression_cc_comboBox_valmax,
                     ui->expression_cc_comboBox_gain, ui->expression_cc_comboBox_ql);
}

PageState expressionNote(Ui::Widget *ui)
{
    return pageState(ui->expression_note_comboBox_chl, ui->expression_note_comboBox_ctl,
                     ui->expression_note_comboBox_valmin, ui->expression_note_comboBox_valmax,
                     ui->expression_note_comboBox_gain, ui->expression_note_comboBox_ql);
}

PageState expressionPitch(Ui::Widget *ui)
{
    return pageState(ui->expression_pitch_comboBox_chl, nullptr,
                     ui->expression_pitch_comboBox_valmin, ui->expression_pitch_comboBox_valmax,
                     ui->expression_pitch_comboBox_gain, ui->expression_pitch_comboBox_ql);
}

PageState expressionPressure(Ui::Widget *ui)
{
    return pageState(ui->expression_ch_comboBox_chl, nullptr, ui->expression_ch_comboBox_val1,
                     ui->expression_ch_comboBox_val2, ui->expression_ch_comboBox_gain,
                     ui->expression_ch_comboBox_ql);
}

PageState hatCc(Ui::Widget *ui)
{
    return pageState(ui->hat_cc_comboBox_chl, ui->hat_cc_comboBox_ctl, ui->hat_cc_comboBox_valmin,
                     ui->hat_cc_comboBox_valmax, ui->hat_cc_comboBox_gain, ui->hat_cc_comboBox_ql);
}

PageState hatNote(Ui::Widget *ui)
{
    return pageState(ui->hat_note_comboBox_chl, ui->hat_note_comboBox_ctl,
                     ui->hat_note_comboBox_valmin, ui->hat_note_comboBox_valmax,
                     ui->hat_note_comboBox_gain, ui->hat_note_comboBox_ql);
}

const PageState kRangeDefaults = {0, 0, 0, 127, 50, 50};

/// Moves every field of a ranged page away from its default.
void disturb(QComboBox *chl, QComboBox *ctl, QComboBox *min, QComboBox *max, QComboBox *gain,
             QComboBox *curve, int maxIndex = 100)
{
    chl->setCurrentIndex(3);
    if (ctl)
        ctl->setCurrentIndex(7);
    max->setCurrentIndex(maxIndex);
    min->setCurrentIndex(10);
    gain->setCurrentIndex(60);
    curve->setCurrentIndex(40);
}

} // namespace

class TestEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void startup_listsAndDefaults();
    void startup_controllerListsFollowNothingButTheirOwnRule();
    void pedalType_twinsMoveTogetherAndShowThePage();
    void pedalType_unknownTextKeepsThePage();
    void expressionEvent_pitchBendRebuildsTriggerListAndResetsOtherPages();
    void expressionEvent_noteDisablesTriggerAndNotes();
    void expressionEvent_backFromPitchBendRestoresShortTriggerList();
    void triggerLevel_offDisablesTheNotes();
    void hatEvent_noteResetsCcPageAndDisablesTrigger();
    void switchMode_twinsFollowWithoutTheirReactions();
    void switchEvent_pagesByTextNotByIndex();
    void rebuildSwitchEventLists_addsOrDropsTempo();
    void setCommand_fromRealSelectors_data();
    void setCommand_fromRealSelectors();
    void setCommand_beforeAnyPedalCountSendsFF();

private:
    FakeDeviceSource nothing;
};

void TestEditor::initTestCase()
{
    DeviceSource::setCurrent(&nothing);
}

void TestEditor::cleanupTestCase()
{
    DeviceSource::setCurrent(nullptr);
}

void TestEditor::startup_listsAndDefaults()
{
    Widget w;
    Ui::Widget *ui = w.form();

    for (QComboBox *box : {ui->expression_comboBox0, ui->expression_comboBox3}) {
        QCOMPARE(itemTexts(box),
                 QStringList({kCc, "NOTE", "Pitch Bend", "Channel Pressure"}));
        QCOMPARE(box->currentIndex(), 0);
    }
    QCOMPARE(itemTexts(ui->expression_trigger_level), QStringList{"OFF"} + numbers(1, 127));
    QCOMPARE(ui->expression_trigger_level->currentIndex(), 0);
    for (QComboBox *box : {ui->expression_press_note, ui->hat_release_note,
                           ui->expression_note_comboBox_ctl, ui->switch_note_comboBox_nno,
                           ui->hat_note_comboBox_ctl}) {
        QCOMPARE(box->count(), 128);
        QCOMPARE(box->itemText(60), QStringLiteral("60 / C4"));
    }
    QVERIFY(!ui->expression_press_note->isEnabled());
    QVERIFY(!ui->expression_release_note->isEnabled());
    QVERIFY(!ui->hat_press_note->isEnabled());
    QVERIFY(!ui->hat_release_note->isEnabled());

    QCOMPARE(expressionCc(ui), kRangeDefaults);
    QCOMPARE(expressionNote(ui), kRangeDefaults);
    QCOMPARE(expressionPitch(ui), PageState({0, -2, 0, 16383, 50, 50}));
    QCOMPARE(expressionPressure(ui), PageState({0, -2, 0, 127, 50, 50}));
    QCOMPARE(hatCc(ui), kRangeDefaults);
    QCOMPARE(hatNote(ui), kRangeDefaults);
    QCOMPARE(ui->expression_cc_comboBox_gain->currentText(), QStringLiteral("0"));
    QCOMPARE(itemTexts(ui->expression_cc_comboBox_ql), numbers(-50, 50));
    QCOMPARE(itemTexts(ui->expression_pitch_comboBox_valmax), numbers(0, 16383));
    QCOMPARE(itemTexts(ui->expression_ch_comboBox_chl), numbers(1, 16));

    const QStringList switchEvents = {kCc, "Program Change (PC)", "NOTE", "Stop", "Continue",
                                      "Start"};
    for (QComboBox *box : {ui->switch_comboBox0, ui->switch_comboBox6})
        QCOMPARE(itemTexts(box), switchEvents);
    QCOMPARE(itemTexts(ui->switch_note_comboBox_mode),
             QStringList({"Single", "Toggle", "Reset", "Increase", "Decrease"}));
    for (QComboBox *box : {ui->switch_stop_comboBox_mode, ui->switch_tempo_comboBox_mode})
        QCOMPARE(itemTexts(box), QStringList{"Single"});
    QCOMPARE(itemTexts(ui->switch_mode),
             QStringList({"Single", "Toggle", "Reset", "Increase", "Decrease"}));
    QCOMPARE(itemTexts(ui->switch_status), QStringList({"Stop", "Continue", "Start"}));
    QCOMPARE(ui->switch_pc_comboBox_valmax->currentIndex(), 127);
    QCOMPARE(ui->switch_pc_comboBox_valmin->currentIndex(), 0);
    // "Single": the maxima are hidden and their captions empty.
    QVERIFY(ui->switch_cc_comboBox_valmax->isHidden());
    QVERIFY(ui->switch_note_comboBox_valmax->isHidden());
    QVERIFY(ui->switch_pc_comboBox_valmax->isHidden());
    QCOMPARE(ui->label_48->text(), QString());
    QCOMPARE(ui->label_135->text(), QString());

    QCOMPARE(itemTexts(ui->hat_comboBox1), QStringList({kCc, "NOTE"}));
    QCOMPARE(itemTexts(ui->hat_trigger_level), QStringList{"OFF"} + numbers(1, 127));
    for (QComboBox *box : {ui->pendal_type_comboBox0, ui->pendal_type_comboBox2})
        QCOMPARE(itemTexts(box), QStringList({"Expression", "Switch", "Hi-Hat"}));
}

void TestEditor::startup_controllerListsFollowNothingButTheirOwnRule()
{
    // Without a settings file "Show CC Name" is on: all three controller
    // lists are numbered with their names.
    const ScopedCurrentDir dir;
    Widget w;
    Ui::Widget *ui = w.form();
    for (QComboBox *box : {ui->expression_cc_comboBox_ctl, ui->switch_cc_comboBox_ctl,
                           ui->hat_cc_comboBox_ctl}) {
        QCOMPARE(box->count(), 128);
        QCOMPARE(box->itemText(7), QStringLiteral("7) Volume"));
        QCOMPARE(box->itemText(12), QStringLiteral("12) ***"));
    }
}

void TestEditor::pedalType_twinsMoveTogetherAndShowThePage()
{
    Widget w;
    Ui::Widget *ui = w.form();
    QSignalSpy first(ui->pendal_type_comboBox0, SIGNAL(currentIndexChanged(int)));
    QSignalSpy third(ui->pendal_type_comboBox2, SIGNAL(currentIndexChanged(int)));

    ui->pendal_type_comboBox1->setCurrentIndex(2);
    QCOMPARE(ui->pendal_type_comboBox0->currentIndex(), 2);
    QCOMPARE(ui->pendal_type_comboBox2->currentIndex(), 2);
    QCOMPARE(ui->pedal_type_stack->currentIndex(), 2);
    // The twins are moved silently.
    QCOMPARE(first.count(), 0);
    QCOMPARE(third.count(), 0);

    ui->pendal_type_comboBox2->setCurrentText(QStringLiteral("Switch"));
    QCOMPARE(ui->pedal_type_stack->currentIndex(), 1);
    QCOMPARE(ui->pendal_type_comboBox0->currentIndex(), 1);
    QCOMPARE(ui->pendal_type_comboBox1->currentIndex(), 1);
}

void TestEditor::pedalType_unknownTextKeepsThePage()
{
    Widget w;
    Ui::Widget *ui = w.form();
    ui->pendal_type_comboBox0->setCurrentIndex(1);
    ui->pendal_type_comboBox0->addItem(QStringLiteral("Bogus"));
    ui->pendal_type_comboBox0->setCurrentIndex(3);
    QCOMPARE(ui->pedal_type_stack->currentIndex(), 1);
}

void TestEditor::expressionEvent_pitchBendRebuildsTriggerListAndResetsOtherPages()
{
    Widget w;
    Ui::Widget *ui = w.form();
    disturb(ui->expression_cc_comboBox_chl, ui->expression_cc_comboBox_ctl,
            ui->expression_cc_comboBox_valmin, ui->expression_cc_comboBox_valmax,
            ui->expression_cc_comboBox_gain, ui->expression_cc_comboBox_ql);
    disturb(ui->expression_note_comboBox_chl, ui->expression_note_comboBox_ctl,
            ui->expression_note_comboBox_valmin, ui->expression_note_comboBox_valmax,
            ui->expression_note_comboBox_gain, ui->expression_note_comboBox_ql);
    disturb(ui->expression_ch_comboBox_chl, nullptr, ui->expression_ch_comboBox_val1,
            ui->expression_ch_comboBox_val2, ui->expression_ch_comboBox_gain,
            ui->expression_ch_comboBox_ql);
    disturb(ui->expression_pitch_comboBox_chl, nullptr, ui->expression_pitch_comboBox_valmin,
            ui->expression_pitch_comboBox_valmax, ui->expression_pitch_comboBox_gain,
            ui->expression_pitch_comboBox_ql, 2000);
    ui->ex_Evert_checkBox->setChecked(true);
    ui->expression_trigger_level->setCurrentIndex(50);

    ui->expression_comboBox1->setCurrentText(QStringLiteral("Pitch Bend"));

    QCOMPARE(ui->expression_stackedWidget->currentIndex(), 2);
    for (QComboBox *box : {ui->expression_comboBox0, ui->expression_comboBox1,
                           ui->expression_comboBox2, ui->expression_comboBox3})
        QCOMPARE(box->currentIndex(), 2);
    QComboBox *level = ui->expression_trigger_level;
    QCOMPARE(level->count(), 16384);
    QCOMPARE(level->currentIndex(), 0);
    QCOMPARE(level->itemText(0), QStringLiteral("OFF"));
    QCOMPARE(level->itemText(1), QStringLiteral("1"));
    QCOMPARE(level->itemText(16383), QStringLiteral("16383"));
    QVERIFY(level->isEnabled());
    QVERIFY(ui->expression_press_note->isEnabled());
    QVERIFY(ui->expression_release_note->isEnabled());

    QCOMPARE(expressionCc(ui), kRangeDefaults);
    QCOMPARE(expressionNote(ui), kRangeDefaults);
    QCOMPARE(expressionPressure(ui), PageState({0, -2, 0, 127, 50, 50}));
    QCOMPARE(expressionPitch(ui), PageState({3, -2, 10, 2000, 60, 40}));
    QVERIFY(ui->ex_Evert_checkBox->isChecked());
}

void TestEditor::expressionEvent_noteDisablesTriggerAndNotes()
{
    Widget w;
    Ui::Widget *ui = w.form();
    ui->expression_trigger_level->setCurrentIndex(5);
    ui->expression_press_note->setCurrentIndex(40);
    ui->expression_release_note->setCurrentIndex(41);
    QVERIFY(ui->expression_press_note->isEnabled());

    ui->expression_comboBox0->setCurrentText(QStringLiteral("NOTE"));

    QCOMPARE(ui->expression_stackedWidget->currentIndex(), 1);
    QCOMPARE(ui->expression_trigger_level->count(), 128);
    for (QComboBox *box : {ui->expression_trigger_level, ui->expression_press_note,
                           ui->expression_release_note}) {
        QCOMPARE(box->currentIndex(), 0);
        QVERIFY(!box->isEnabled());
    }

    // CC enables all three again, at "OFF".
    ui->expression_comboBox1->setCurrentText(kCc);
    QCOMPARE(ui->expression_stackedWidget->currentIndex(), 0);
    for (QComboBox *box : {ui->expression_trigger_level, ui->expression_press_note,
                           ui->expression_release_note}) {
        QCOMPARE(box->currentIndex(), 0);
        QVERIFY(box->isEnabled());
    }
}

void TestEditor::expressionEvent_backFromPitchBendRestoresShortTriggerList()
{
    Widget w;
    Ui::Widget *ui = w.form();
    ui->expression_comboBox0->setCurrentText(QStringLiteral("Pitch Bend"));
    ui->expression_trigger_level->setCurrentIndex(300);
    ui->expression_comboBox2->setCurrentText(QStringLiteral("Channel Pressure"));
    QCOMPARE(ui->expression_stackedWidget->currentIndex(), 3);
    QCOMPARE(ui->expression_trigger_level->count(), 128);
    QCOMPARE(ui->expression_trigger_level->currentIndex(), 0);
    QCOMPARE(expressionPitch(ui), PageState({0, -2, 0, 16383, 50, 50}));
}

void TestEditor::triggerLevel_offDisablesTheNotes()
{
    Widget w;
    Ui::Widget *ui = w.form();
    ui->expression_trigger_level->setCurrentIndex(3);
    QVERIFY(ui->expression_press_note->isEnabled());
    QVERIFY(ui->expression_release_note->isEnabled());
    ui->expression_trigger_level->setCurrentIndex(0);
    QVERIFY(!ui->expression_press_note->isEnabled());
    QVERIFY(!ui->expression_release_note->isEnabled());

    ui->hat_trigger_level->setCurrentIndex(127);
    QVERIFY(ui->hat_press_note->isEnabled());
    QVERIFY(ui->hat_release_note->isEnabled());
    ui->hat_trigger_level->setCurrentText(QStringLiteral("OFF"));
    QVERIFY(!ui->hat_press_note->isEnabled());
    QVERIFY(!ui->hat_release_note->isEnabled());
}

void TestEditor::hatEvent_noteResetsCcPageAndDisablesTrigger()
{
    Widget w;
    Ui::Widget *ui = w.form();
    disturb(ui->hat_cc_comboBox_chl, ui->hat_cc_comboBox_ctl, ui->hat_cc_comboBox_valmin,
            ui->hat_cc_comboBox_valmax, ui->hat_cc_comboBox_gain, ui->hat_cc_comboBox_ql);
    disturb(ui->hat_note_comboBox_chl, ui->hat_note_comboBox_ctl, ui->hat_note_comboBox_valmin,
            ui->hat_note_comboBox_valmax, ui->hat_note_comboBox_gain, ui->hat_note_comboBox_ql);
    ui->hat_trigger_level->setCurrentIndex(20);
    ui->hat_press_note->setCurrentIndex(30);
    QSignalSpy twin(ui->hat_comboBox1, SIGNAL(currentIndexChanged(int)));

    ui->hat_comboBox0->setCurrentText(QStringLiteral("NOTE"));

    QCOMPARE(ui->hat_stackedWidget->currentIndex(), 1);
    QCOMPARE(ui->hat_comboBox1->currentIndex(), 1);
    QCOMPARE(twin.count(), 0);
    QCOMPARE(hatCc(ui), kRangeDefaults);
    QCOMPARE(hatNote(ui), PageState({3, 7, 10, 100, 60, 40}));
    for (QComboBox *box : {ui->hat_trigger_level, ui->hat_press_note, ui->hat_release_note}) {
        QCOMPARE(box->currentIndex(), 0);
        QVERIFY(!box->isEnabled());
    }
    QCOMPARE(ui->hat_trigger_level->count(), 128);

    ui->hat_comboBox1->setCurrentText(kCc);
    QCOMPARE(ui->hat_stackedWidget->currentIndex(), 0);
    QCOMPARE(ui->hat_comboBox0->currentIndex(), 0);
    QCOMPARE(hatNote(ui), kRangeDefaults);
    for (QComboBox *box : {ui->hat_trigger_level, ui->hat_press_note, ui->hat_release_note})
        QVERIFY(box->isEnabled());
}

void TestEditor::switchMode_twinsFollowWithoutTheirReactions()
{
    Widget w;
    Ui::Widget *ui = w.form();
    QSignalSpy noteMode(ui->switch_note_comboBox_mode, SIGNAL(currentIndexChanged(int)));

    ui->switch_cc_comboBox_mode->setCurrentText(QStringLiteral("Toggle"));

    QVERIFY(!ui->switch_cc_comboBox_valmax->isHidden());
    QCOMPARE(ui->label_48->text(), QStringLiteral("Max"));
    QCOMPARE(ui->switch_note_comboBox_mode->currentIndex(), 1);
    QCOMPARE(ui->switch_pc_comboBox_mode->currentIndex(), 1);
    QCOMPARE(noteMode.count(), 0);
    // Their own reactions did not run: their maxima are still hidden.
    QVERIFY(ui->switch_note_comboBox_valmax->isHidden());
    QVERIFY(ui->switch_pc_comboBox_valmax->isHidden());
    QCOMPARE(ui->label_79->text(), QString());
    for (QComboBox *box : {ui->switch_stop_comboBox_mode, ui->switch_ctu_comboBox_mode,
                           ui->switch_start_comboBox_mode, ui->switch_tempo_comboBox_mode})
        QCOMPARE(box->currentIndex(), 0);

    // Choosing the NOTE event brings the NOTE page's maximum up to date.
    ui->switch_comboBox0->setCurrentText(QStringLiteral("NOTE"));
    QCOMPARE(ui->switch_stackedWidget->currentIndex(), 1);
    QCOMPARE(ui->switch_note_comboBox_mode->currentIndex(), 1);
    QVERIFY(!ui->switch_note_comboBox_valmax->isHidden());
    QCOMPARE(ui->label_79->text(), QStringLiteral("Max"));
    QVERIFY(!ui->switch_pc_comboBox_valmax->isHidden());
    QCOMPARE(ui->label_135->text(), QStringLiteral("Max"));

    // Back to "Single" on the NOTE page: the twins follow, the NOTE maximum hides.
    ui->switch_note_comboBox_mode->setCurrentIndex(0);
    QVERIFY(ui->switch_note_comboBox_valmax->isHidden());
    QCOMPARE(ui->label_79->text(), QString());
    QCOMPARE(ui->switch_cc_comboBox_mode->currentIndex(), 0);
    QCOMPARE(ui->switch_pc_comboBox_mode->currentIndex(), 0);
}

void TestEditor::switchEvent_pagesByTextNotByIndex()
{
    Widget w;
    Ui::Widget *ui = w.form();
    const QList<QPair<QString, int>> pages = {
        {QStringLiteral("Program Change (PC)"), 2}, {QStringLiteral("NOTE"), 1},
        {QStringLiteral("Stop"), 3},                {QStringLiteral("Continue"), 4},
        {QStringLiteral("Start"), 5},               {kCc, 0},
    };
    for (const auto &page : pages) {
        ui->switch_comboBox3->setCurrentText(page.first);
        QCOMPARE(ui->switch_stackedWidget->currentIndex(), page.second);
        const int index = ui->switch_comboBox3->currentIndex();
        for (QComboBox *box : {ui->switch_comboBox0, ui->switch_comboBox1, ui->switch_comboBox2,
                               ui->switch_comboBox4, ui->switch_comboBox5, ui->switch_comboBox6})
            QCOMPARE(box->currentIndex(), index);
    }
}

void TestEditor::rebuildSwitchEventLists_addsOrDropsTempo()
{
    Widget w;
    Ui::Widget *ui = w.form();
    ui->switch_comboBox0->setCurrentText(QStringLiteral("NOTE"));
    ui->switch_note_comboBox_chl->setCurrentIndex(5);
    ui->switch_cc_comboBox_chl->setCurrentIndex(9);

    w.rebuildSwitchEventLists(true);

    const QStringList withTempo = {kCc,      "Program Change (PC)", "NOTE", "Stop",
                                   "Continue", "Start",              "Tempo"};
    const QList<QComboBox *> events = {ui->switch_comboBox0, ui->switch_comboBox1,
                                       ui->switch_comboBox2, ui->switch_comboBox3,
                                       ui->switch_comboBox4, ui->switch_comboBox5,
                                       ui->switch_comboBox6};
    for (QComboBox *box : events) {
        QCOMPARE(itemTexts(box), withTempo);
        QCOMPARE(box->currentIndex(), 0);
    }
    QCOMPARE(ui->switch_stackedWidget->currentIndex(), 0);
    for (QComboBox *box : {ui->switch_cc_comboBox_chl, ui->switch_note_comboBox_chl,
                           ui->switch_pc_comboBox_chl}) {
        QCOMPARE(itemTexts(box), numbers(1, 16));
        QCOMPARE(box->currentIndex(), 0);
    }
    QCOMPARE(ui->switch_mode->count(), 5);
    QCOMPARE(itemTexts(ui->switch_status), QStringList({"Stop", "Continue", "Start"}));

    ui->switch_comboBox0->setCurrentText(QStringLiteral("Tempo"));
    QCOMPARE(ui->switch_stackedWidget->currentIndex(), 6);
    QCOMPARE(ui->switch_comboBox6->currentIndex(), 6);

    w.rebuildSwitchEventLists(false);
    for (QComboBox *box : events) {
        QCOMPARE(box->count(), 6);
        QCOMPARE(box->currentIndex(), 0);
    }
    QCOMPARE(ui->switch_stackedWidget->currentIndex(), 0);
}

void TestEditor::setCommand_fromRealSelectors_data()
{
    QTest::addColumn<int>("row");
    const QList<SetCommandGolden::Row> rows = SetCommandGolden::rows();
    for (int i = 0; i < rows.size(); ++i)
        QTest::newRow(rows.at(i).name) << i;
}

void TestEditor::setCommand_fromRealSelectors()
{
    QFETCH(int, row);
    const SetCommandGolden::Row golden = SetCommandGolden::rows().at(row);
    Widget w;
    Ui::Widget *ui = w.form();
    ui->Pedal_Number->addItems(numbers(1, 4));
    if (golden.event == EventTempo)
        w.rebuildSwitchEventLists(true);
    driveEditor(w, SetCommandGolden::editorFor(golden));

    QByteArray frame;
    w.buildPedalMessage(frame);

    // Byte 21 carries the code of the expression curve, built when the
    // expression event was first chosen; 0 while there is none.
    const MyCustomPlot *curve = w.expressionCurvePlot();
    QString expected = golden.fields;
    expected.replace(45, 2, SetCommandGolden::spaced(QByteArray(1, char(curve ? curve->curveCode : 0))));
    QCOMPARE(SetCommandGolden::spaced(frame.left(6)), QStringLiteral("F0 00 21 5E 10 03"));
    QCOMPARE(SetCommandGolden::spaced(frame.mid(6, 17)), expected);
    QCOMPARE(frame.size(), 24);
}

void TestEditor::setCommand_beforeAnyPedalCountSendsFF()
{
    Widget w;
    QByteArray frame;
    w.buildPedalMessage(frame);
    // Defaults: expression CC, channel 1, controller 0, range 0..127, gain and curve "0".
    QCOMPARE(SetCommandGolden::spaced(frame),
             QStringLiteral("F0 00 21 5E 10 03 FF 00 01 00 00 00 00 00 7F 00 32 00 00 00 32 00 00 F7"));
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
