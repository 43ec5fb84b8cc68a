// Range checks and curve passes of the editor: every refusal with its box and
// put-back, the switch pages' trigger modes, equal ends, the drag flag, the
// start-up fill, and which values reach which response curve.
#include "app/widget.h"
#include "curve/mycustomplot.h"
#include "pedal/rangerules.h"
#include "support/modalwatcher.h"
#include "ui_widget.h"

#include <QtTest>

#include <memory>

namespace {

const QString kEn = QStringLiteral("The minimum value cannot be greater than the maximum value!");
const QString kCn = QStringLiteral("当前值不能小于最小值！");

enum Curve { NoCurve, ExpressionCurve, HiHatCurve };

/// A window with the page of one ranged selector shown and, where the page
/// has one, its response curve built.
struct Page {
    std::unique_ptr<Widget> window = std::make_unique<Widget>();
    Ui::Widget *ui = window->form();
    QComboBox *min = nullptr;
    QComboBox *max = nullptr;
    Curve curve = NoCurve;
    double scale = 1; ///< selector units per curve unit (129 on Pitch Bend)

    explicit Page(const QString &selector)
    {
        const QString prefix = selector.section(QLatin1Char('_'), 0, 1);
        const bool channelPressure = prefix == QLatin1String("expression_ch");
        min = window->findChild<QComboBox *>(prefix
                                             + (channelPressure ? "_comboBox_val1" : "_comboBox_valmin"));
        max = window->findChild<QComboBox *>(prefix
                                             + (channelPressure ? "_comboBox_val2" : "_comboBox_valmax"));
        const QString event = prefix.section(QLatin1Char('_'), 1);
        if (selector.startsWith(QLatin1String("expression"))) {
            const QStringList events = {"cc", "note", "pitch", "ch"};
            ui->expression_comboBox0->setCurrentIndex(events.indexOf(event));
            // Choosing the event page that is already shown runs nothing; CC
            // is chosen by way of another page so that the curve gets built.
            if (event == QLatin1String("cc")) {
                ui->expression_comboBox0->setCurrentIndex(1);
                ui->expression_comboBox0->setCurrentIndex(0);
            }
            curve = ExpressionCurve;
            scale = event == QLatin1String("pitch") ? 129 : 1;
        } else if (selector.startsWith(QLatin1String("hat"))) {
            ui->expression_comboBox0->setCurrentIndex(1);
            ui->hat_comboBox0->setCurrentIndex(event == QLatin1String("cc") ? 0 : 1);
            // A gain change has the hi-hat curve made.
            QComboBox *gain = window->findChild<QComboBox *>(prefix + "_comboBox_gain");
            gain->setCurrentIndex(51);
            gain->setCurrentIndex(50);
            curve = HiHatCurve;
        } else {
            const QStringList events = {"cc", "pc", "note"};
            ui->switch_comboBox0->setCurrentIndex(events.indexOf(event));
            ui->switch_cc_comboBox_mode->setCurrentIndex(1); // Toggle
        }
    }

    void setRange(int minIndex, int maxIndex)
    {
        min->setCurrentIndex(0);
        max->setCurrentIndex(maxIndex);
        min->setCurrentIndex(minIndex);
    }

    MyCustomPlot *plot() const
    {
        return curve == ExpressionCurve ? window->expressionCurvePlot()
               : curve == HiHatCurve    ? window->hiHatCurvePlot()
                                        : nullptr;
    }
    /// The range the curve holds, in selector units.
    int curveMin() const { return qRound(plot()->minValue * scale); }
    int curveMax() const { return qRound(plot()->maxValue * scale); }
};

} // namespace

class TestRanges : public QObject
{
    Q_OBJECT

private slots:
    void refusal_showsBoxAndPutsBack_data();
    void refusal_showsBoxAndPutsBack();
    void equalEnds_areAccepted_data();
    void equalEnds_areAccepted();
    void rulesTable_coversEveryRangeSelector();
    void hiHatNoteMaximum_isPassedUnchecked();
    void switchSingle_acceptsAnythingAndStoresNoMaximum();
    void switchMaximum_isHiddenInSingleAndLabelledOtherwise();
    void lastMaximum_followsEveryAcceptedChoice();
    void dragFlag_suspendsChecksAndPasses();
    void startup_warnsStoresAndPassesNothing();

    void pass_reachesTheCurve_data();
    void pass_reachesTheCurve();
    void pitchBendMaximumOnly_keepsTheCurveFloor();
    void hiHatCurve_isCreatedByGainAndMaximumOnly_data();
    void hiHatCurve_isCreatedByGainAndMaximumOnly();
    void expressionPasses_needTheExpressionCurve();
};

void TestRanges::refusal_showsBoxAndPutsBack_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("minAfter");
    QTest::addColumn<int>("maxAfter");
    QTest::addColumn<bool>("curveRebuilt"); // the put-back ran the reactions and reached the curve
    QTest::addColumn<int>("curveMin");
    QTest::addColumn<int>("curveMax");

    // Every page starts at 20..100 (Pitch Bend 2000..10000), so each put-back
    // is told apart from the start values and from the defaults.
    QTest::newRow("expression CC min") << "expression_cc_comboBox_valmin" << 110
        << "Invalid1 selection" << kEn << 0 << 100 << false << 20 << 100;
    QTest::newRow("expression CC max") << "expression_cc_comboBox_valmax" << 10
        << "Invalid2 selection" << kEn << 20 << 100 << false << 20 << 100;
    QTest::newRow("expression NOTE min") << "expression_note_comboBox_valmin" << 110
        << "Invalid3 selection" << kEn << 0 << 100 << true << 0 << 100;
    QTest::newRow("expression NOTE max") << "expression_note_comboBox_valmax" << 10
        << "Invalid4 selection" << kCn << 20 << 100 << false << 20 << 100;
    QTest::newRow("Pitch Bend min") << "expression_pitch_comboBox_valmin" << 12000
        << "Invalid5 selection3" << kEn << 0 << 10000 << true << 0 << 10000;
    QTest::newRow("Pitch Bend max") << "expression_pitch_comboBox_valmax" << 1000
        << "Invalid6 selection" << kEn << 0 << 1000 << true << 0 << 1000;
    QTest::newRow("Channel Pressure val1") << "expression_ch_comboBox_val1" << 110
        << "Invalid7 selection5" << kEn << 0 << 100 << true << 0 << 100;
    QTest::newRow("Channel Pressure val2") << "expression_ch_comboBox_val2" << 10
        << "Invalid8 selection" << kCn << 20 << 100 << true << 20 << 100;
    QTest::newRow("hi-hat CC min") << "hat_cc_comboBox_valmin" << 110
        << "Invalid selection9" << kEn << 0 << 100 << true << 0 << 100;
    QTest::newRow("hi-hat CC max") << "hat_cc_comboBox_valmax" << 10
        << "Invalid selection11" << kCn << 0 << 10 << true << 0 << 10;
    QTest::newRow("hi-hat NOTE min") << "hat_note_comboBox_valmin" << 110
        << "Invalid selection12" << kEn << 0 << 100 << true << 0 << 100;
    QTest::newRow("switch CC min") << "switch_cc_comboBox_valmin" << 110
        << "Invalid selection13" << kEn << 0 << 100 << false << -1 << -1;
    QTest::newRow("switch CC max") << "switch_cc_comboBox_valmax" << 10
        << "Invalid selection14" << kCn << 20 << 100 << false << -1 << -1;
    QTest::newRow("switch NOTE min") << "switch_note_comboBox_valmin" << 110
        << "Invalid selection15" << kEn << 0 << 100 << false << -1 << -1;
    QTest::newRow("switch NOTE max") << "switch_note_comboBox_valmax" << 10
        << "Invalid selection16" << kCn << 20 << 100 << false << -1 << -1;
    QTest::newRow("switch PC min") << "switch_pc_comboBox_valmin" << 110
        << "Invalid selection17" << kEn << 0 << 100 << false << -1 << -1;
    QTest::newRow("switch PC max") << "switch_pc_comboBox_valmax" << 10
        << "Invalid selection18" << kCn << 20 << 100 << false << -1 << -1;
}

void TestRanges::refusal_showsBoxAndPutsBack()
{
    QFETCH(QString, selector);
    QFETCH(int, chosen);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(int, minAfter);
    QFETCH(int, maxAfter);
    QFETCH(bool, curveRebuilt);
    QFETCH(int, curveMin);
    QFETCH(int, curveMax);

    ModalWatcher boxes;
    Page page(selector);
    const int unit = selector.contains(QLatin1String("pitch")) ? 100 : 1;
    page.setRange(20 * unit, 100 * unit);
    QVERIFY(boxes.seen().isEmpty());
    bool rebuilt = false;
    if (page.curve != NoCurve) {
        QVERIFY(page.plot());
        connect(page.plot(), &QObject::destroyed, this, [&rebuilt] { rebuilt = true; });
        QCOMPARE(page.curveMin(), 20 * unit);
        QCOMPARE(page.curveMax(), 100 * unit);
    }

    page.window->findChild<QComboBox *>(selector)->setCurrentIndex(chosen);

    QCOMPARE(boxes.seen().size(), 1);
    QCOMPARE(boxes.seen().first().title, title);
    QCOMPARE(boxes.seen().first().text, text);
    QCOMPARE(page.min->currentIndex(), minAfter);
    QCOMPARE(page.max->currentIndex(), maxAfter);
    if (page.curve != NoCurve) {
        // Every pass rebuilds the editor; a blocked put-back passes nothing.
        QCOMPARE(rebuilt, curveRebuilt);
        QCOMPARE(page.curveMin(), curveMin);
        QCOMPARE(page.curveMax(), curveMax);
    }
}

void TestRanges::equalEnds_areAccepted_data()
{
    QTest::addColumn<QString>("selector");
    for (const RangeRules::Check &check : RangeRules::checks())
        QTest::newRow(qPrintable(check.selector)) << check.selector;
}

void TestRanges::equalEnds_areAccepted()
{
    QFETCH(QString, selector);
    ModalWatcher boxes;
    Page page(selector);
    page.setRange(40, 90);
    QComboBox *box = page.window->findChild<QComboBox *>(selector);
    const bool isMinimum = box == page.min;
    box->setCurrentIndex(isMinimum ? 90 : 40);
    QVERIFY(boxes.seen().isEmpty());
    QCOMPARE(page.min->currentIndex(), isMinimum ? 90 : 40);
    QCOMPARE(page.max->currentIndex(), isMinimum ? 90 : 40);
    if (page.curve != NoCurve) {
        QCOMPARE(page.curveMin(), page.min->currentIndex());
        QCOMPARE(page.curveMax(), page.max->currentIndex());
    }
}

void TestRanges::rulesTable_coversEveryRangeSelector()
{
    // Every range selector of the form but the hi-hat NOTE maximum is checked,
    // and every expression and hi-hat selector with a curve setting passes.
    Widget w;
    QStringList ranged;
    for (QComboBox *box : w.findChildren<QComboBox *>()) {
        const QString name = box->objectName();
        const bool isRange = name.endsWith(QLatin1String("_valmin")) || name.endsWith(QLatin1String("_valmax"))
                             || name.endsWith(QLatin1String("_val1")) || name.endsWith(QLatin1String("_val2"));
        const bool curvePage = name.startsWith(QLatin1String("expression_")) || name.startsWith(QLatin1String("hat_"));
        if (isRange && name != QLatin1String("hat_note_comboBox_valmax"))
            QVERIFY2(RangeRules::checkFor(name), qPrintable(name));
        if (curvePage && (isRange || name.endsWith(QLatin1String("_gain")) || name.endsWith(QLatin1String("_ql"))))
            QVERIFY2(RangeRules::passFor(name), qPrintable(name));
        if (isRange)
            ranged.append(name);
    }
    QCOMPARE(ranged.size(), 18);
    QCOMPARE(RangeRules::checks().size(), 17);
    QCOMPARE(RangeRules::passes().size(), 24);
    QVERIFY(!RangeRules::checkFor(QStringLiteral("hat_note_comboBox_valmax")));
    QVERIFY(!RangeRules::passFor(QStringLiteral("switch_cc_comboBox_valmax")));
}

void TestRanges::hiHatNoteMaximum_isPassedUnchecked()
{
    ModalWatcher boxes;
    Page page(QStringLiteral("hat_note_comboBox_valmax"));
    page.setRange(50, 100);
    page.max->setCurrentIndex(10);
    QVERIFY(boxes.seen().isEmpty());
    QCOMPARE(page.max->currentIndex(), 10);
    QCOMPARE(page.curveMax(), 10);
}

void TestRanges::switchSingle_acceptsAnythingAndStoresNoMaximum()
{
    ModalWatcher boxes;
    Page page(QStringLiteral("switch_cc_comboBox_valmin"));
    Ui::Widget *ui = page.ui;
    page.setRange(20, 100); // accepted in Toggle: 100 is the last maximum
    ui->switch_cc_comboBox_mode->setCurrentIndex(0);
    ui->switch_cc_comboBox_valmax->setCurrentIndex(30);
    ui->switch_cc_comboBox_valmin->setCurrentIndex(120);
    ui->switch_pc_comboBox_valmin->setCurrentIndex(127);
    QVERIFY(boxes.seen().isEmpty());
    QCOMPARE(ui->switch_cc_comboBox_valmin->currentIndex(), 120);

    // Back in Toggle, a refused maximum returns to 100, not to the 30 chosen
    // in Single; that is still below the minimum 120 and is refused once more,
    // leaving it there.
    ui->switch_cc_comboBox_mode->setCurrentIndex(1);
    ui->switch_cc_comboBox_valmax->setCurrentIndex(40);
    QCOMPARE(boxes.seen().size(), 2);
    for (const ModalWatcher::Seen &seen : boxes.seen())
        QCOMPARE(seen.title, QStringLiteral("Invalid selection14"));
    QCOMPARE(ui->switch_cc_comboBox_valmax->currentIndex(), 100);
}

void TestRanges::switchMaximum_isHiddenInSingleAndLabelledOtherwise()
{
    Widget w;
    Ui::Widget *ui = w.form();
    w.show();
    ui->pendal_type_comboBox0->setCurrentIndex(1);
    QVERIFY(!ui->switch_cc_comboBox_valmax->isVisible());
    QCOMPARE(ui->label_48->text(), QString());
    ui->switch_cc_comboBox_mode->setCurrentIndex(1);
    QVERIFY(ui->switch_cc_comboBox_valmax->isVisible());
    QCOMPARE(ui->label_48->text(), QStringLiteral("Max"));
}

void TestRanges::lastMaximum_followsEveryAcceptedChoice()
{
    ModalWatcher boxes;
    Page page(QStringLiteral("expression_ch_comboBox_val2"));
    page.setRange(20, 100);
    // A reset to the defaults is accepted like a user's choice: 127 is the last maximum again.
    page.ui->expression_comboBox0->setCurrentIndex(0);
    QCOMPARE(page.max->currentIndex(), 127);
    page.ui->expression_comboBox0->setCurrentIndex(3);
    page.min->setCurrentIndex(60);
    page.max->setCurrentIndex(10);
    QCOMPARE(boxes.seen().size(), 1);
    QCOMPARE(page.max->currentIndex(), 127);
}

void TestRanges::dragFlag_suspendsChecksAndPasses()
{
    ModalWatcher boxes;
    Page page(QStringLiteral("expression_cc_comboBox_valmax"));
    page.setRange(20, 100);
    bool rebuilt = false;
    connect(page.plot(), &QObject::destroyed, this, [&rebuilt] { rebuilt = true; });
    QMetaObject::invokeMethod(page.window.get(), "moveflagchange", Q_ARG(bool, true));
    page.max->setCurrentIndex(10);
    page.ui->expression_cc_comboBox_gain->setCurrentIndex(80);
    QVERIFY(boxes.seen().isEmpty());
    QCOMPARE(page.max->currentIndex(), 10);
    QVERIFY(!rebuilt);
    QCOMPARE(page.curveMax(), 100);

    QMetaObject::invokeMethod(page.window.get(), "moveflagchange", Q_ARG(bool, false));
    page.max->setCurrentIndex(5);
    QCOMPARE(boxes.seen().size(), 1);
    QCOMPARE(page.max->currentIndex(), 100); // the last maximum accepted before the drag
}

void TestRanges::startup_warnsStoresAndPassesNothing()
{
    ModalWatcher boxes;
    Widget w;
    Ui::Widget *ui = w.form();
    QVERIFY(boxes.seen().isEmpty());
    QVERIFY(!w.expressionCurvePlot());
    QVERIFY(!w.hiHatCurvePlot());
    // The start-up fill stored no maximum but the default 127.
    for (QComboBox *max : {ui->expression_cc_comboBox_valmax, ui->expression_note_comboBox_valmax,
                           ui->expression_ch_comboBox_val2}) {
        QComboBox *min = max == ui->expression_ch_comboBox_val2
                             ? ui->expression_ch_comboBox_val1
                             : w.findChild<QComboBox *>(max->objectName().replace("valmax", "valmin"));
        min->setCurrentIndex(50);
        max->setCurrentIndex(40);
        QCOMPARE(max->currentIndex(), 127);
    }
    QCOMPARE(boxes.seen().size(), 3);
    // Without an expression curve nothing is built by a pass.
    QVERIFY(!w.expressionCurvePlot());
    QVERIFY(!w.hiHatCurvePlot());
}

void TestRanges::pass_reachesTheCurve_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<int>("index");
    // Expected members of the curve afterwards: min, max, gain, curvature (selector units).
    QTest::addColumn<QList<int>>("expected");

    // Pages start at range 20..100 (Pitch Bend 2000..10000), gain 10, curvature -10.
    const QList<std::tuple<const char *, const char *, int, QList<int>>> rows = {
        {"expression CC gain", "expression_cc_comboBox_gain", 70, {20, 100, 20, -10}},
        {"expression CC curve", "expression_cc_comboBox_ql", 90, {20, 100, 10, 40}},
        {"expression CC min", "expression_cc_comboBox_valmin", 30, {30, 100, 10, -10}},
        {"expression CC max", "expression_cc_comboBox_valmax", 90, {20, 90, 10, -10}},
        {"expression NOTE gain", "expression_note_comboBox_gain", 0, {20, 100, -50, -10}},
        {"expression NOTE curve", "expression_note_comboBox_ql", 100, {20, 100, 10, 50}},
        {"Pitch Bend gain", "expression_pitch_comboBox_gain", 55, {2000, 10000, 5, -10}},
        {"Pitch Bend curve", "expression_pitch_comboBox_ql", 45, {2000, 10000, 10, -5}},
        {"Pitch Bend min", "expression_pitch_comboBox_valmin", 3000, {3000, 10000, 10, -10}},
        {"Pitch Bend max", "expression_pitch_comboBox_valmax", 12900, {2000, 12900, 10, -10}},
        {"Channel Pressure gain", "expression_ch_comboBox_gain", 52, {20, 100, 2, -10}},
        {"Channel Pressure curve", "expression_ch_comboBox_ql", 51, {20, 100, 10, 1}},
        {"Channel Pressure val1", "expression_ch_comboBox_val1", 25, {25, 100, 10, -10}},
        {"Channel Pressure val2", "expression_ch_comboBox_val2", 95, {20, 95, 10, -10}},
        {"hi-hat CC gain", "hat_cc_comboBox_gain", 99, {20, 100, 49, -10}},
        {"hi-hat CC curve", "hat_cc_comboBox_ql", 1, {20, 100, 10, -49}},
        {"hi-hat CC min", "hat_cc_comboBox_valmin", 21, {21, 100, 10, -10}},
        {"hi-hat CC max", "hat_cc_comboBox_valmax", 99, {20, 99, 10, -10}},
        {"hi-hat NOTE gain", "hat_note_comboBox_gain", 30, {20, 100, -20, -10}},
        {"hi-hat NOTE min", "hat_note_comboBox_valmin", 0, {0, 100, 10, -10}},
    };
    for (const auto &[name, selector, index, expected] : rows)
        QTest::newRow(name) << QString::fromLatin1(selector) << index << expected;
}

void TestRanges::pass_reachesTheCurve()
{
    QFETCH(QString, selector);
    QFETCH(int, index);
    QFETCH(QList<int>, expected);

    ModalWatcher boxes;
    Page page(selector);
    const int unit = selector.contains(QLatin1String("pitch")) ? 100 : 1;
    page.setRange(20 * unit, 100 * unit);
    const QString prefix = selector.section(QLatin1Char('_'), 0, 2);
    page.window->findChild<QComboBox *>(prefix + "_gain")->setCurrentIndex(60);
    page.window->findChild<QComboBox *>(prefix + "_ql")->setCurrentIndex(40);

    page.window->findChild<QComboBox *>(selector)->setCurrentIndex(index);
    QVERIFY(boxes.seen().isEmpty());
    const MyCustomPlot *plot = page.plot();
    QCOMPARE((QList<int>{page.curveMin(), page.curveMax(), int(plot->gain), int(plot->curvature)}),
             expected);
}

void TestRanges::pitchBendMaximumOnly_keepsTheCurveFloor()
{
    // The curve divides both ends of a 14-bit range on each recompute; a
    // maximum passed alone would divide the floor a second time.
    ModalWatcher boxes;
    Page page(QStringLiteral("expression_pitch_comboBox_valmax"));
    page.min->setCurrentIndex(2580);
    QCOMPARE(page.plot()->minValue, 20.0);
    page.max->setCurrentIndex(12900);
    QCOMPARE(page.plot()->minValue, 20.0);
    QCOMPARE(page.plot()->maxValue, 100.0);
    page.max->setCurrentIndex(10320);
    QCOMPARE(page.plot()->minValue, 20.0);
    QCOMPARE(page.plot()->maxValue, 80.0);
    // The MIN label stays on the 7-bit scale, the MAX label shows the 14-bit value.
    QStringList labels;
    for (int i = 0; i < page.plot()->itemCount(); ++i) {
        if (auto *t = qobject_cast<QCPItemText *>(page.plot()->item(i)))
            labels.append(t->text());
    }
    QCOMPARE(labels, (QStringList{"MAX", "10320", "MIN", "20", "Curve", "0"}));
    QVERIFY(boxes.seen().isEmpty());
}

void TestRanges::hiHatCurve_isCreatedByGainAndMaximumOnly_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("created");
    QTest::newRow("CC gain") << "hat_cc_comboBox_gain" << 60 << true;
    QTest::newRow("CC max") << "hat_cc_comboBox_valmax" << 100 << true;
    QTest::newRow("CC min") << "hat_cc_comboBox_valmin" << 10 << false;
    QTest::newRow("CC curve") << "hat_cc_comboBox_ql" << 60 << false;
    QTest::newRow("NOTE gain") << "hat_note_comboBox_gain" << 60 << true;
    QTest::newRow("NOTE max") << "hat_note_comboBox_valmax" << 100 << true;
    QTest::newRow("NOTE min") << "hat_note_comboBox_valmin" << 10 << false;
    QTest::newRow("NOTE curve") << "hat_note_comboBox_ql" << 60 << false;
}

void TestRanges::hiHatCurve_isCreatedByGainAndMaximumOnly()
{
    QFETCH(QString, selector);
    QFETCH(int, index);
    QFETCH(bool, created);

    Widget w;
    QComboBox *box = w.findChild<QComboBox *>(selector);
    // No expression curve yet: nothing is created.
    box->setCurrentIndex(index);
    QVERIFY(!w.hiHatCurvePlot());
    box->setCurrentIndex(index + 1);
    w.form()->expression_comboBox0->setCurrentIndex(2);
    QVERIFY(w.expressionCurvePlot());
    QVERIFY(!w.hiHatCurvePlot());
    box->setCurrentIndex(index);
    QCOMPARE(w.hiHatCurvePlot() != nullptr, created);
    if (created)
        QCOMPARE(w.form()->widget_14->findChild<MyCustomPlot *>(), w.hiHatCurvePlot());
}

void TestRanges::expressionPasses_needTheExpressionCurve()
{
    Widget w;
    Ui::Widget *ui = w.form();
    ui->expression_cc_comboBox_gain->setCurrentIndex(70);
    ui->expression_cc_comboBox_valmax->setCurrentIndex(90);
    QVERIFY(!w.expressionCurvePlot());
    QCOMPARE(ui->widget_13->findChildren<MyCustomPlot *>().size(), 0);

    // Each rebuild replaces the editor in its container.
    ui->expression_comboBox0->setCurrentIndex(1);
    ui->expression_note_comboBox_gain->setCurrentIndex(70);
    ui->expression_note_comboBox_ql->setCurrentIndex(30);
    QCOMPARE(ui->widget_13->findChildren<MyCustomPlot *>().size(), 1);
    QCOMPARE(ui->widget_13->findChild<MyCustomPlot *>(), w.expressionCurvePlot());
    QCOMPARE(w.expressionCurvePlot()->gain, 20.0);
    QCOMPARE(w.expressionCurvePlot()->curvature, -20.0);
}

QTEST_MAIN(TestRanges)
#include "tst_ranges.moc"
