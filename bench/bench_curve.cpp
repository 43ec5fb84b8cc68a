// The response curve editor's costs, offscreen: the curve model alone,
// updateCurve alone, and one drag step (mouse move -> curve recomputed ->
// replot, including the queued replot it requests) on a lone editor and on
// the main window's editor, whose selectors follow the drag. Prints medians
// in milliseconds.
#include "bench/benchapp.h"
#include "app/widget.h"
#include "curve/mycustomplot.h"
#include "curve/responsecurve.h"
#include "support/plotmouse.h"
#include "ui_widget.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

/// Median, min and max of `runs` timings of step(i), after one warm-up call.
void report(const char *what, int runs, const std::function<void(int)> &step)
{
    step(0);
    std::vector<double> ms;
    ms.reserve(runs);
    for (int i = 1; i <= runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        step(i);
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%s, median of %d: %.3f ms (min %.3f, max %.3f)\n", what, runs, ms[ms.size() / 2],
                ms.front(), ms.back());
}

/// Press on the curvature handle, then `runs` moves up and down the plot.
void dragSteps(const char *what, MyCustomPlot *plot, int runs)
{
    const QPoint start = PlotMouse::centreOf(plot->curveHandle);
    PlotMouse::press(plot, start);
    report(what, runs, [&](int i) {
        PlotMouse::move(plot, PlotMouse::atValue(plot, start, 10 + (i * 7) % 110));
        QCoreApplication::processEvents();
    });
    PlotMouse::release(plot, start);
}

} // namespace

int main(int argc, char *argv[])
{
    const BenchApp app(argc, argv);

    ResponseCurve::Curve curve;
    report("curve model (500 samples, curvature 30, gain 20)", 2001, [&](int i) {
        ResponseCurve::Input in;
        in.minValue = i % 20;
        in.maxValue = 120;
        in.gain = 20;
        in.curvature = 30;
        ResponseCurve::compute(in, &curve);
    });

    MyCustomPlot lone;
    lone.resize(200, 160);
    lone.setupCurve(0, 127, 0, 0);
    lone.show();
    lone.replot();
    QCoreApplication::processEvents();
    report("updateCurve alone", 501, [&](int i) {
        lone.curvature = (i % 100) - 50;
        lone.updateCurve();
    });
    QCoreApplication::processEvents();
    dragSteps("drag step on a lone editor", &lone, 301);

    Widget w;
    w.form()->widget_8->show();
    w.resize(870, 750);
    w.show();
    w.form()->expression_comboBox0->setCurrentIndex(1);
    QCoreApplication::processEvents();
    MyCustomPlot *plot = w.expressionCurvePlot();
    plot->replot();
    dragSteps("drag step in the main window (selectors follow)", plot, 301);
    return 0;
}
