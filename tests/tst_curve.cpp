// The response curve: the model's numbers and invariants, and the editor
// driven with real mouse events, alone and inside the main window.
#include "app/widget.h"
#include "curve/mycustomplot.h"
#include "curve/responsecurve.h"
#include "pedal/configcommands.h"
#include "support/modalwatcher.h"
#include "support/plotmouse.h"
#include "ui_widget.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>

namespace {

using ResponseCurve::Curve;
using ResponseCurve::Input;

Curve curveOf(double min, double max, double gain, double curvature, bool pitch = false)
{
    Input in;
    in.minValue = min;
    in.maxValue = max;
    in.gain = gain;
    in.curvature = curvature;
    in.pitchMode = pitch;
    return ResponseCurve::compute(in);
}

/// The texts of the plot's text items, in creation order.
QStringList labelsOf(MyCustomPlot &plot)
{
    QStringList out;
    for (int i = 0; i < plot.itemCount(); ++i) {
        if (auto *text = qobject_cast<QCPItemText *>(plot.item(i)))
            out.append(text->text());
    }
    return out;
}

/// A curve editor laid out at the size the form gives it.
struct Editor {
    explicit Editor(double min = 0, double max = 127, double gain = 0, double curvature = 0)
    {
        plot.resize(200, 160);
        plot.setupCurve(min, max, gain, curvature);
        plot.show();
        plot.replot();
    }
    MyCustomPlot plot;
};

} // namespace

class TestCurve : public QObject
{
    Q_OBJECT

private slots:
    void model_matchesKnownCurves_data();
    void model_matchesKnownCurves();
    void model_curvatureShapesMeetTheEnds_data();
    void model_curvatureShapesMeetTheEnds();
    void model_gridKeepsItsInvariants();
    void model_degenerateRangesStayFinite_data();
    void model_degenerateRangesStayFinite();
    void model_pitchModeScalesBy129();

    void plot_setupDrawsCurveHandlesAndLabels();
    void plot_dragMinimum_emitsInOrderAndRecomputes();
    void plot_handleBeyondTheOtherEnd_changesNothing_data();
    void plot_handleBeyondTheOtherEnd_changesNothing();
    void plot_dragCurvature_mapsHeightToCurvature_data();
    void plot_dragCurvature_mapsHeightToCurvature();
    void plot_pitchModeDrag_sends14BitValues();
    void plot_moveWithoutGrab_emitsNothing();

    void window_dragsMoveTheSelectorsAndTheSetCommand();
    void window_hiHatDragIgnoresOutOfRangeValues();
};

void TestCurve::model_matchesKnownCurves_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("gain");
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("adjMin");
    QTest::addColumn<double>("adjMax");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("last");

    // Curvature 0 throughout: the stepped line of the controller.
    QTest::newRow("full range") << 0.0 << 127.0 << 0.0 << 100 << 0.0 << 127.0 << 0.0 << 127.0;
    // g = 2: the line reaches 127 at sample 250 of 499 and stays there.
    QTest::newRow("gain +50") << 0.0 << 127.0 << 50.0 << 50 << 0.0 << 127.0 << 0.0 << 127.0;
    // g = 0.5: L = 4054, step = 31, s = 2027, so the top is 65.
    QTest::newRow("gain -50") << 0.0 << 127.0 << -50.0 << 100 << 0.0 << 65.0 << 0.0 << 66.0;
    QTest::newRow("narrow range") << 20.0 << 40.0 << 0.0 << 100 << 20.0 << 40.0 << 20.0 << 40.0;
    // Equal ends: a flat line; the maximum is reached at once.
    QTest::newRow("equal ends") << 64.0 << 64.0 << 0.0 << 100 << 64.0 << 64.0 << 64.0 << 64.0;
    // Inverted: the line lies at the minimum; the end label is capped at the maximum.
    QTest::newRow("inverted") << 100.0 << 20.0 << 0.0 << 100 << 20.0 << 20.0 << 100.0 << 20.0;
}

void TestCurve::model_matchesKnownCurves()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, gain);
    QFETCH(int, code);
    QFETCH(double, adjMin);
    QFETCH(double, adjMax);
    QFETCH(double, first);
    QFETCH(double, last);

    const Curve c = curveOf(min, max, gain, 0);
    QCOMPARE(c.curveCode, code);
    QCOMPARE(c.adjMin, adjMin);
    QCOMPARE(c.adjMax, adjMax);
    QCOMPARE(c.keys.size(), ResponseCurve::SampleCount);
    QCOMPARE(c.values.size(), ResponseCurve::SampleCount);
    QCOMPARE(c.values.first(), first);
    QCOMPARE(c.endValue, last);
    QCOMPARE(c.maxLabel, int(adjMax));
    QCOMPARE(c.minLabel, int(adjMin));
    for (double v : c.values)
        QCOMPARE(v, std::floor(v)); // the stepped line takes whole values only
}

void TestCurve::model_curvatureShapesMeetTheEnds_data()
{
    QTest::addColumn<double>("gain");
    QTest::addColumn<double>("curvature");
    QTest::addColumn<bool>("aboveLine"); // bent upwards (fast rise) or downwards
    for (double gain : {0.0, 30.0, -30.0}) {
        for (double curvature : {50.0, 20.0, -20.0, -50.0}) {
            QTest::addRow("gain %g curvature %g", gain, curvature)
                << gain << curvature << (curvature > 0);
        }
    }
}

void TestCurve::model_curvatureShapesMeetTheEnds()
{
    QFETCH(double, gain);
    QFETCH(double, curvature);
    QFETCH(bool, aboveLine);

    const Curve c = curveOf(0, 127, gain, curvature);
    QCOMPARE(c.values.first(), c.adjMin);
    // At t1 the curve has reached the top of the adjusted range and stays there.
    const int t1Sample = int(std::round(c.t1 * (ResponseCurve::SampleCount - 1)));
    for (int i = t1Sample; i < ResponseCurve::SampleCount; ++i)
        QVERIFY2(std::abs(c.values.at(i) - c.adjMax) < 1e-9, qPrintable(QString::number(i)));
    // Halfway to t1 the bend shows against the straight line between the ends.
    const double halfway = c.values.at(t1Sample / 2);
    const double straight = (c.adjMin + c.adjMax) / 2;
    QVERIFY2(aboveLine ? halfway > straight + 5 : halfway < straight - 5,
             qPrintable(QStringLiteral("%1 vs %2").arg(halfway).arg(straight)));
}

void TestCurve::model_gridKeepsItsInvariants()
{
    const double ends[] = {0, 1, 30, 63, 64, 100, 126, 127};
    const double gains[] = {-50, -33, -1, 0, 1, 17, 49, 50};
    const double curvatures[] = {-50, -31, -1, 0, 1, 12, 37, 50};
    int checked = 0;
    for (bool pitch : {false, true}) {
        for (double min : ends) {
            for (double max : ends) {
                for (double gain : gains) {
                    for (double curvature : curvatures) {
                        const double scale = pitch ? ResponseCurve::PitchScale : 1.0;
                        const Curve c = curveOf(min * scale, max * scale, gain, curvature, pitch);
                        const QString where = QStringLiteral("min %1 max %2 gain %3 curve %4 pitch %5")
                                                  .arg(min).arg(max).arg(gain).arg(curvature)
                                                  .arg(pitch);
                        QVERIFY2(c.curveCode >= 0 && c.curveCode <= 100, qPrintable(where));
                        QVERIFY2(c.adjMin >= 0 && c.adjMax <= 127, qPrintable(where));
                        QVERIFY2(std::abs(c.minValue - min) < 1e-9 && std::abs(c.maxValue - max) < 1e-9,
                                 qPrintable(where));
                        const double low = std::min(min, max);
                        const double high = std::max(min, max);
                        for (int i = 0; i < c.values.size(); ++i) {
                            const double v = c.values.at(i);
                            QVERIFY2(std::isfinite(v) && std::isfinite(c.keys.at(i)), qPrintable(where));
                            QVERIFY2(v >= low - 1e-9 && v <= high + 1e-9, qPrintable(where));
                            if (curvature != 0 && max > min)
                                QVERIFY2(v >= c.adjMin - 1e-9 && v <= c.adjMax + 1e-9,
                                         qPrintable(where));
                            if (i > 0 && max > min && curvature >= 0)
                                QVERIFY2(v >= c.values.at(i - 1) - 1e-9,
                                         qPrintable(where + QStringLiteral(" at %1").arg(i)));
                        }
                        QVERIFY2(std::isfinite(c.startValue) && std::isfinite(c.endValue)
                                     && std::isfinite(c.middleValue),
                                 qPrintable(where));
                        ++checked;
                    }
                }
            }
        }
    }
    QCOMPARE(checked, 2 * 8 * 8 * 8 * 8);
}

void TestCurve::model_degenerateRangesStayFinite_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("gain");
    QTest::addColumn<double>("curvature");
    QTest::addColumn<double>("flatAt"); // -1: not flat

    // The integer maximum one below the minimum: no step exists; flat at the minimum.
    QTest::newRow("max one below min") << 10.0 << 9.0 << 0.0 << 0.0 << 10.0;
    QTest::newRow("max one below min, curved") << 10.0 << 9.0 << 20.0 << 30.0 << 10.0;
    QTest::newRow("fractional ends one apart") << 10.2 << 9.7 << 0.0 << -30.0 << 10.0;
    // Saturated from the first sample (t1 = 0): the curve is its top throughout.
    QTest::newRow("saturated at once") << 100.0 << 120.0 << 50.0 << 20.0 << 120.0;
    QTest::newRow("saturated at once, bent down") << 100.0 << 120.0 << 50.0 << -20.0 << 120.0;
    QTest::newRow("huge values") << 1.0e9 << -1.0e9 << 1.0e9 << -1.0e9 << -1.0;
}

void TestCurve::model_degenerateRangesStayFinite()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, gain);
    QFETCH(double, curvature);
    QFETCH(double, flatAt);

    const Curve c = curveOf(min, max, gain, curvature);
    for (double v : c.values) {
        QVERIFY(std::isfinite(v));
        if (flatAt >= 0)
            QCOMPARE(v, flatAt);
    }
    QVERIFY(std::isfinite(c.startValue) && std::isfinite(c.endValue));
}

void TestCurve::model_pitchModeScalesBy129()
{
    const Curve full = curveOf(0, 16383, 0, 0, true);
    QCOMPARE(full.maxValue, 127.0);
    QCOMPARE(full.maxLabel, 16383);
    QCOMPARE(full.minLabel, 0);
    QCOMPARE(full.curveCode, 100);

    // A 14-bit range 255..256 is one step on the 7-bit scale; the MIN label is not scaled.
    const Curve narrow = curveOf(2580, 12900, 0, 0, true);
    QCOMPARE(narrow.minValue, 20.0);
    QCOMPARE(narrow.maxValue, 100.0);
    QCOMPARE(narrow.minLabel, 20);
    QCOMPARE(narrow.maxLabel, 12900);
}

void TestCurve::plot_setupDrawsCurveHandlesAndLabels()
{
    Editor e(0, 127, 0, 0);
    MyCustomPlot &p = e.plot;
    QVERIFY(p.minHandle && p.maxHandle && p.curveHandle);
    QCOMPARE(p.graphCount(), 1);
    QCOMPARE(p.graph(0)->dataCount(), 500);
    QCOMPARE(p.pointCount, 500);
    QCOMPARE(p.curveCode, 100);
    QCOMPARE(labelsOf(p), (QStringList{"MAX", "127", "MIN", "0", "Curve", "0"}));
    QCOMPARE(p.graph(0)->pen().color(), QColor(255, 165, 0));
    QCOMPARE(p.yAxis->range().upper, 151.0);

    // Recomputing replaces the labels rather than adding to them.
    p.gain = -50;
    p.updateCurve();
    QCOMPARE(labelsOf(p), (QStringList{"MAX", "65", "MIN", "0", "Curve", "0"}));
}

void TestCurve::plot_dragMinimum_emitsInOrderAndRecomputes()
{
    Editor e(0, 127, 0, 0);
    MyCustomPlot &p = e.plot;
    QList<QString> order;
    QList<QList<int>> sent;
    connect(&p, &MyCustomPlot::crical_is_move, this,
            [&](bool f) { order.append(f ? "grab" : "release"); });
    connect(&p, &MyCustomPlot::update_max_min_gain, this, [&](int max, int min, int gain, int c) {
        order.append("values");
        sent.append({max, min, gain, c});
    });
    QSignalSpy corners(&p, &MyCustomPlot::circleCoordinatesUpdated);

    PlotMouse::drag(&p, p.minHandle, 40);
    QCOMPARE(order, (QList<QString>{"grab", "values", "grab", "release"}));
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().at(0), 127);
    QVERIFY2(std::abs(sent.first().at(1) - 40) <= 1, qPrintable(QString::number(sent.first().at(1))));
    QCOMPARE(sent.first().at(2), 0);
    QCOMPARE(corners.count(), 1);
    QVERIFY(!p.dragMin && !p.dragMax && !p.dragCurve);
    QCOMPARE(labelsOf(p).at(3), QString::number(sent.first().at(1)));
}

void TestCurve::plot_handleBeyondTheOtherEnd_changesNothing_data()
{
    QTest::addColumn<bool>("minimumHandle");
    QTest::addColumn<double>("beyond");
    QTest::addColumn<double>("allowed");
    // Range 30..90.
    QTest::newRow("minimum above maximum") << true << 110.0 << 50.0;
    QTest::newRow("maximum below minimum") << false << 10.0 << 60.0;
}

void TestCurve::plot_handleBeyondTheOtherEnd_changesNothing()
{
    QFETCH(bool, minimumHandle);
    QFETCH(double, beyond);
    QFETCH(double, allowed);

    Editor e(30, 90, 0, 0);
    MyCustomPlot &p = e.plot;
    QSignalSpy values(&p, &MyCustomPlot::update_max_min_gain);
    QCPItemRect *handle = minimumHandle ? p.minHandle : p.maxHandle;
    const QPoint start = PlotMouse::centreOf(handle);
    PlotMouse::press(&p, start);
    PlotMouse::move(&p, PlotMouse::atValue(&p, start, beyond));
    QCOMPARE(values.count(), 0);
    QCOMPARE(p.minValue, 30.0);
    QCOMPARE(p.maxValue, 90.0);
    // The handle follows the mouse even there.
    const double centre = p.yAxis->pixelToCoord(PlotMouse::centreOf(handle).y());
    QVERIFY2(std::abs(centre - beyond) < 2, qPrintable(QString::number(centre)));

    // Back on the allowed side the drag takes effect again.
    PlotMouse::move(&p, PlotMouse::atValue(&p, start, allowed));
    QCOMPARE(values.count(), 1);
    const double moved = minimumHandle ? p.minValue : p.maxValue;
    QVERIFY2(std::abs(moved - allowed) < 1, qPrintable(QString::number(moved)));
    PlotMouse::release(&p, start);
}

void TestCurve::plot_dragCurvature_mapsHeightToCurvature_data()
{
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("curvature");
    QTest::newRow("top") << 140.0 << 50;
    QTest::newRow("bottom") << -5.0 << -50;
    QTest::newRow("middle") << 63.5 << 0;
}

void TestCurve::plot_dragCurvature_mapsHeightToCurvature()
{
    QFETCH(double, height);
    QFETCH(int, curvature);

    Editor e(0, 127, 0, 0);
    MyCustomPlot &p = e.plot;
    QSignalSpy values(&p, &MyCustomPlot::update_max_min_gain);
    PlotMouse::drag(&p, p.curveHandle, height);
    QCOMPARE(values.count(), 1);
    QCOMPARE(values.first().at(3).toInt(), curvature);
    QCOMPARE(labelsOf(p).at(5), QString::number(curvature));
}

void TestCurve::plot_pitchModeDrag_sends14BitValues()
{
    // As the window builds a Pitch Bend editor: set up on the 7-bit scale,
    // then handed the 14-bit range.
    Editor e(0, 127, 0, 0);
    MyCustomPlot &p = e.plot;
    p.pitchMode = true;
    p.minValue = 0;
    p.maxValue = 16383;
    p.updateCurve();
    p.replot();
    QCOMPARE(labelsOf(p).at(1), QStringLiteral("16383"));

    QSignalSpy values(&p, &MyCustomPlot::update_max_min_gain);
    PlotMouse::drag(&p, p.maxHandle, 100);
    QCOMPARE(values.count(), 1);
    QCOMPARE(values.first().at(0).toInt(), 12900);
    QCOMPARE(values.first().at(1).toInt(), 0);
    QCOMPARE(labelsOf(p).at(1), QStringLiteral("12900"));
}

void TestCurve::plot_moveWithoutGrab_emitsNothing()
{
    Editor e(0, 127, 0, 0);
    MyCustomPlot &p = e.plot;
    QSignalSpy values(&p, &MyCustomPlot::update_max_min_gain);
    QSignalSpy grabs(&p, &MyCustomPlot::crical_is_move);
    // A press away from every handle grabs none.
    const QPoint empty(int(p.xAxis->coordToPixel(0.5)), int(p.yAxis->coordToPixel(140)));
    PlotMouse::press(&p, empty);
    PlotMouse::move(&p, empty + QPoint(0, 40));
    QCOMPARE(values.count(), 0);
    PlotMouse::release(&p, empty);
    QCOMPARE(grabs.count(), 1); // the release only
    QCOMPARE(grabs.first().at(0).toBool(), false);
}

void TestCurve::window_dragsMoveTheSelectorsAndTheSetCommand()
{
    ModalWatcher boxes;
    Widget w;
    Ui::Widget *ui = w.form();
    ui->Pedal_Number->addItem(QStringLiteral("1"));
    ui->widget_8->show();
    w.resize(870, 750);
    w.show();
    ui->expression_comboBox0->setCurrentIndex(1); // NOTE builds the expression curve
    MyCustomPlot *plot = w.expressionCurvePlot();
    QVERIFY(plot);
    QCoreApplication::processEvents();
    plot->replot();

    bool rebuilt = false;
    connect(plot, &QObject::destroyed, this, [&rebuilt] { rebuilt = true; });
    PlotMouse::drag(plot, plot->maxHandle, 90);
    const int max = ui->expression_note_comboBox_valmax->currentIndex();
    QVERIFY2(std::abs(max - 90) <= 1, qPrintable(QString::number(max)));
    // The drag did not rebuild the editor it came from.
    QVERIFY(!rebuilt);
    PlotMouse::drag(plot, plot->minHandle, 30);
    const int min = ui->expression_note_comboBox_valmin->currentIndex();
    QVERIFY2(std::abs(min - 30) <= 1, qPrintable(QString::number(min)));
    PlotMouse::drag(plot, plot->curveHandle, 140);
    QCOMPARE(ui->expression_note_comboBox_ql->currentIndex(), 100);
    QCOMPARE(plot->curvature, 50.0);
    QVERIFY(!rebuilt);
    QVERIFY(boxes.seen().isEmpty());

    // Gain +50 halves the travel to the top: the code follows the curve.
    ui->expression_note_comboBox_gain->setCurrentIndex(100);
    plot = w.expressionCurvePlot();
    QVERIFY(plot->curveCode < 100);
    QByteArray frame;
    w.buildPedalMessage(frame);
    QCOMPARE(int(quint8(frame.at(21))), plot->curveCode);
    const ResponseCurve::Curve expected = curveOf(min, max, 50, 50);
    QCOMPARE(plot->curveCode, expected.curveCode);
}

void TestCurve::window_hiHatDragIgnoresOutOfRangeValues()
{
    Widget w;
    Ui::Widget *ui = w.form();
    ui->expression_comboBox0->setCurrentIndex(1);
    ui->hat_cc_comboBox_gain->setCurrentIndex(40); // builds the hi-hat curve
    QVERIFY(w.hiHatCurvePlot());
    ui->hat_cc_comboBox_valmin->setCurrentIndex(10);
    ui->hat_cc_comboBox_valmax->setCurrentIndex(100);

    QMetaObject::invokeMethod(&w, "rec_max_min_gain_hat", Q_ARG(int, -1), Q_ARG(int, 20),
                              Q_ARG(int, 0), Q_ARG(int, 60));
    QCOMPARE(ui->hat_cc_comboBox_valmax->currentIndex(), 100);
    QCOMPARE(ui->hat_cc_comboBox_valmin->currentIndex(), 20);
    QCOMPARE(ui->hat_cc_comboBox_ql->currentIndex(), 50); // 60 + 50 is off the list
    QMetaObject::invokeMethod(&w, "rec_max_min_gain_hat", Q_ARG(int, 90), Q_ARG(int, 128),
                              Q_ARG(int, 0), Q_ARG(int, -20));
    QCOMPARE(ui->hat_cc_comboBox_valmax->currentIndex(), 90);
    QCOMPARE(ui->hat_cc_comboBox_valmin->currentIndex(), 20);
    QCOMPARE(ui->hat_cc_comboBox_ql->currentIndex(), 30);
}

QTEST_MAIN(TestCurve)
#include "tst_curve.moc"
