// The pedal editor's costs, offscreen: selecting the expression event
// "Pitch Bend", which rebuilds the trigger-level list with 16384 items, and
// going back to CC. Prints medians in milliseconds. (Start-up with every
// selector filled is bench_startup.)
#include "bench/benchapp.h"
#include "app/widget.h"
#include "ui_widget.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Figures {
    double median;
    double min;
    double max;
};

Figures summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back()};
}

} // namespace

int main(int argc, char *argv[])
{
    const BenchApp app(argc, argv);

    constexpr int runs = 9;
    std::vector<double> pitchBend;
    std::vector<double> backToCc;
    {
        Widget w;
        w.show();
        QCoreApplication::processEvents();
        QComboBox *event = w.form()->expression_comboBox0;
        for (int i = 0; i < runs + 1; ++i) {
            QElapsedTimer timer;
            timer.start();
            event->setCurrentText(QStringLiteral("Pitch Bend"));
            QCoreApplication::processEvents();
            const double toPitch = timer.nsecsElapsed() / 1e6;
            if (w.form()->expression_trigger_level->count() != 16384) {
                std::fprintf(stderr, "trigger list not rebuilt\n");
                return 1;
            }
            timer.restart();
            event->setCurrentText(QStringLiteral("Continuous Controllers (CC)"));
            QCoreApplication::processEvents();
            const double toCc = timer.nsecsElapsed() / 1e6;
            if (i > 0) {
                pitchBend.push_back(toPitch);
                backToCc.push_back(toCc);
            }
        }
    }

    const Figures p = summarise(pitchBend);
    const Figures c = summarise(backToCc);
    std::printf("select \"Pitch Bend\" (trigger list to 16384 items), median of %d runs: %.2f ms "
                "(min %.2f, max %.2f)\n", runs, p.median, p.min, p.max);
    std::printf("select \"Continuous Controllers (CC)\" again, median of %d runs: %.2f ms "
                "(min %.2f, max %.2f)\n", runs, c.median, c.min, c.max);
    return 0;
}
