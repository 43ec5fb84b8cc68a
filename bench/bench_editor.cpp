// The pedal editor's costs, offscreen: start-up with every selector filled
// (construct the window and process its first show), and selecting the
// expression event "Pitch Bend", which rebuilds the trigger-level list with
// 16384 items. Prints medians in milliseconds.
#include "app/appstylesheet.h"
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    app.setStyleSheet(applicationStyleSheet());
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    constexpr int runs = 9;
    std::vector<double> startup;
    for (int i = 0; i < runs + 1; ++i) {
        QElapsedTimer timer;
        timer.start();
        {
            Widget w;
            w.show();
            QCoreApplication::processEvents();
            if (i > 0) // the first run loads plugins and fonts
                startup.push_back(timer.nsecsElapsed() / 1e6);
        }
        QCoreApplication::processEvents();
    }

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

    const Figures s = summarise(startup);
    const Figures p = summarise(pitchBend);
    const Figures c = summarise(backToCc);
    std::printf("editor startup: construct Widget + first show, median of %d runs: %.1f ms "
                "(min %.1f, max %.1f)\n", runs, s.median, s.min, s.max);
    std::printf("select \"Pitch Bend\" (trigger list to 16384 items), median of %d runs: %.2f ms "
                "(min %.2f, max %.2f)\n", runs, p.median, p.min, p.max);
    std::printf("select \"Continuous Controllers (CC)\" again, median of %d runs: %.2f ms "
                "(min %.2f, max %.2f)\n", runs, c.median, c.min, c.max);
    return 0;
}
