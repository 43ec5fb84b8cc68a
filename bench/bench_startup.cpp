// Start-up time: constructing the main window and processing its first show,
// offscreen. Prints the median of several runs in milliseconds.
#include "bench/benchapp.h"
#include "app/widget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    const BenchApp app(argc, argv);

    constexpr int runs = 9;
    std::vector<double> ms;
    for (int i = 0; i < runs + 1; ++i) {
        QElapsedTimer timer;
        timer.start();
        {
            Widget w;
            w.show();
            QCoreApplication::processEvents();
            if (i > 0) // the first run warms caches and loads plugins
                ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        QCoreApplication::processEvents();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("startup: construct Widget + first show, median of %d runs: %.1f ms "
                "(min %.1f, max %.1f)\n",
                runs, ms[ms.size() / 2], ms.front(), ms.back());
    return 0;
}
