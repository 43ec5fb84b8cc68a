// The live monitor end to end, offscreen: a simulated controller on its own
// thread writes USB-MIDI event packets into its pseudo-terminal; the window
// reads them through SerialPort, the reply dispatch, the frame queue and its
// drain into the three tables and the pedal pictures. Prints
//   - the highest sustained event rate without a dropped frame, and its
//     ratio to a 115200-baud line (2880 four-byte frames per second);
//   - the same with the writes cut at arbitrary byte boundaries, as a loaded
//     serial line delivers them, where every frame must come out exactly
//     once and in order; and that for the link alone, without the window;
//   - for a 20,000-frame burst, the time until its last row is in the tables
//     and the longest gap between the ticks of a 1 ms timer meanwhile;
//   - resident memory after 500,000 and 1,000,000 frames;
//   - that every row carries its arrival time (the tool tips' times), what
//     making a tool tip costs, the sustained rate while paused, and the
//     time to export the whole capture as CSV and as a MIDI file.
// Every frame's arrival time is recorded throughout: in the capture ring,
// the row log and the first item of each table row.
// MONITOR_BENCH_FRAMES overrides the million.
#include "bench/benchapp.h"
#include "app/widget.h"
#include "device/devicesource.h"
#include "monitor/displayrow.h"
#include "monitor/eventtablemodel.h"
#include "monitor/monitorexport.h"
#include "sim/controllerbehaviour.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "ui_widget.h"

#include "device/serialport.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr double kLineFramesPerSecond = 115200.0 / 10.0 / 4.0;

/// Frame n of a run: a pitch bend whose value counts n modulo 16384.
QByteArray frame(qint64 n)
{
    return ControllerBehaviour::usbMidiEvent(0xE0, quint8(n & 0x7F), quint8((n >> 7) & 0x7F));
}

double residentMB()
{
    FILE *f = std::fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

/// Runs the event loop until done() holds, checked every millisecond, or
/// timeoutMs pass. (QTest::qWaitFor sleeps between its checks, which would
/// leave the serial input unread.)
template<typename Done>
bool waitUntil(Done done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(1);
    loop.exec();
    return done();
}

/// Lives on the controller's thread: sends frames at a rate, or a burst.
class Pump : public QObject
{
public:
    explicit Pump(SimulatedController *controller) : m_controller(controller)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    }

    /// Starts sending `total` frames at `perSecond` (on the pump's thread).
    /// cutAnywhere: each write ends at an arbitrary byte, mid-frame mostly,
    /// and is itself cut into up to four pieces at arbitrary bytes.
    void start(double perSecond, qint64 total, bool cutAnywhere = false)
    {
        m_running = true;
        QMetaObject::invokeMethod(this, [=] {
            m_cutAnywhere = cutAnywhere;
            m_rate = perSecond;
            m_total = total;
            m_sentAtStart = m_sent;
            m_clock.start();
            m_timer.start(1);
            tick();
        });
    }
    void burst(int count)
    {
        QMetaObject::invokeMethod(this, [=] {
            QByteArray bytes;
            bytes.reserve(count * 4);
            for (int i = 0; i < count; ++i)
                bytes += frame(m_sent + i);
            m_sent += count;
            m_controller->send(bytes);
            m_controller->clearRecords();
        });
    }
    qint64 sent() const { return m_sent; }
    bool running() const { return m_running; }

private:
    void tick()
    {
        const qint64 due = std::min<qint64>(m_total, qint64(m_rate * m_clock.nsecsElapsed() / 1e9));
        qint64 n = due - (m_sent - m_sentAtStart);
        m_running = m_sent - m_sentAtStart < m_total;
        if (n <= 0) {
            if (!m_running)
                m_timer.stop();
            return;
        }
        QByteArray bytes;
        bytes.reserve(int(n * 4));
        for (qint64 i = 0; i < n; ++i)
            bytes += frame(m_sent + i);
        m_sent += n;
        m_running = m_sent - m_sentAtStart < m_total;
        if (m_cutAnywhere)
            sendCut(bytes);
        else
            m_controller->send(bytes);
        // The controller keeps a record of what it sent; a long run must not.
        m_controller->clearRecords();
        if (!m_running)
            m_timer.stop();
    }

    void sendCut(const QByteArray &bytes)
    {
        m_pending += bytes;
        // Up to a frame's worth stays for the next write, except at the end.
        const int keep = m_running ? int(m_random.bounded(5u)) : 0;
        const int length = std::max(0, m_pending.size() - keep);
        int from = 0;
        for (int pieces = 1 + int(m_random.bounded(4u)); pieces > 1 && from < length; --pieces) {
            const int piece = 1 + int(m_random.bounded(quint32(length - from)));
            m_controller->send(m_pending.mid(from, piece));
            from += piece;
        }
        if (from < length)
            m_controller->send(m_pending.mid(from, length - from));
        m_pending.remove(0, length);
    }

    SimulatedController *m_controller;
    QTimer m_timer{this};
    QElapsedTimer m_clock;
    double m_rate = 0;
    qint64 m_total = 0;
    qint64 m_sentAtStart = 0;
    bool m_cutAnywhere = false;
    QByteArray m_pending;
    QRandomGenerator m_random{2880};
    std::atomic<qint64> m_sent{0};
    std::atomic<bool> m_running{false};
};

/// Follows the frames out of the link: each must be the next one sent.
struct FrameOrder
{
    qint64 next = 0;     ///< number of the frame expected next
    qint64 received = 0; ///< frames of the run received
    qint64 wrong = 0;    ///< frames lost, repeated or garbled (each out-of-order frame)

    void reset(qint64 first)
    {
        next = first;
        received = 0;
        wrong = 0;
    }
    void take(const Protocol::MsgPackage &p)
    {
        if (p.type != Protocol::PadelUploadCmd)
            return;
        ++received;
        if (p.frame != frame(next)) {
            ++wrong;
            // Find the place again: the frame's value counts modulo 16384.
            const qint64 value = quint8(p.frame.at(2)) | (quint8(p.frame.at(3)) << 7);
            next += ((value - next) % 16384 + 16384) % 16384;
        }
        ++next;
    }
};

struct Rig
{
    Widget *window = nullptr;
    Pump *pump = nullptr;
    FrameOrder *order = nullptr;
    /// Frames handled that the pump did not send (handed to the queue directly).
    qint64 notPumped = 0;

    qint64 handled() const { return window->handledPedalFrames(); }
    qint64 dropped() const { return window->droppedPedalFrames(); }
    /// Runs the event loop until every frame sent is handled or timeoutMs pass.
    bool catchUp(int timeoutMs)
    {
        return waitUntil(
            [this] {
                return !pump->running() && handled() + dropped() - notPumped >= pump->sent()
                       && !window->pedalFrameDrainPending();
            },
            timeoutMs);
    }
};

/// What one second of frames at a rate came to.
struct Run
{
    bool exact = false; ///< every frame handled, none dropped; out of the link once and in order
    bool paced = false; ///< exact, and the last frame handled within 5 % (20 ms) of the second
    double elapsedMs = 0; ///< from the first frame sent to the last handled
};

Run runAt(Rig &rig, double rate, bool cutAnywhere)
{
    const qint64 droppedBefore = rig.dropped();
    const qint64 total = qint64(rate);
    rig.order->reset(rig.pump->sent());
    QElapsedTimer clock;
    clock.start();
    rig.pump->start(rate, total, cutAnywhere);
    const bool done = rig.catchUp(20000 + 5000);
    Run run;
    run.elapsedMs = clock.nsecsElapsed() / 1e6;
    run.exact = done && rig.dropped() == droppedBefore && rig.order->received == total
                && rig.order->wrong == 0;
    run.paced = run.exact && run.elapsedMs <= 1050;
    return run;
}

/// Raises the rate while every frame comes out exactly once and the window
/// is at most three times too slow; returns the highest rate kept pace with
/// and the highest rate without a frame lost or repeated.
void ladder(Rig &rig, bool cutAnywhere, double *bestPaced, double *bestExact)
{
    *bestPaced = 0;
    *bestExact = 0;
    for (double rate : {5000.0, 10000.0, 20000.0, 40000.0, 60000.0, 80000.0, 100000.0, 120000.0,
                        150000.0, 200000.0, 250000.0, 300000.0}) {
        const Run run = runAt(rig, rate, cutAnywhere);
        std::printf("  %8.0f frames/s for 1 s: %s (all handled after %.1f ms; %lld "
                    "handled, %lld dropped so far; %lld of %lld out of the link, %lld out of "
                    "order)\n",
                    rate,
                    run.paced ? "kept pace" : run.exact ? "exact, fell behind" : "FRAMES LOST",
                    run.elapsedMs, static_cast<long long>(rig.handled()),
                    static_cast<long long>(rig.dropped()),
                    static_cast<long long>(rig.order->received), static_cast<long long>(rate),
                    static_cast<long long>(rig.order->wrong));
        std::fflush(stdout);
        if (run.paced && *bestPaced == *bestExact)
            *bestPaced = rate;
        if (!run.exact)
            break;
        *bestExact = rate;
        rig.catchUp(20000);
        if (run.elapsedMs > 3000)
            break;
    }
    rig.catchUp(20000);
}

} // namespace

int main(int argc, char *argv[])
{
    const BenchApp app(argc, argv);
    const qint64 millionFrames = qEnvironmentVariableIsSet("MONITOR_BENCH_FRAMES")
                                     ? qEnvironmentVariableIntValue("MONITOR_BENCH_FRAMES")
                                     : 1000000;

    auto *controller = new SimulatedController(QStringLiteral("ZT-3"));
    SimulatedDeviceSource source;
    source.addController(controller);
    DeviceSource::setCurrent(&source);
    auto *window = new Widget;
    window->resize(870, 750);
    window->show();
    Ui::Widget *ui = window->form();
    ui->comboBox_ComDevices->setCurrentIndex(
        ui->comboBox_ComDevices->findText(controller->model().usbDescription));
    ui->connectButton->click();
    if (!waitUntil([&] { return ui->Pedal_Number->count() > 0; }, 5000)) {
        std::printf("no connection to the simulated controller\n");
        return 1;
    }
    QTest::qWait(700); // the ask and identity queries after the open are answered

    // A second controller for the link alone, without a window behind it.
    auto *linkController = new SimulatedController(QStringLiteral("ZT-1"));
    source.addController(linkController);
    QComboBox linkCombo;
    SerialPort bareLink(&linkCombo, QStringLiteral("Veltrano"), nullptr);
    if (!bareLink.openPort(linkController->portName(), 115200)
        || !waitUntil([&] { return linkController->isHostConnected(); }, 5000)) {
        std::printf("no link to the second simulated controller\n");
        return 1;
    }

    QThread controllerThread;
    controller->moveToThread(&controllerThread);
    auto *pump = new Pump(controller);
    pump->moveToThread(&controllerThread);
    linkController->moveToThread(&controllerThread);
    auto *linkPump = new Pump(linkController);
    linkPump->moveToThread(&controllerThread);
    controllerThread.start();
    FrameOrder order;
    QObject::connect(window->findChild<SerialPort *>(), &SerialPort::pedalMidiDataSignal,
                     [&order](Protocol::MsgPackage p) { order.take(p); });
    Rig rig{window, pump, &order};

    // 0. The window alone: frames handed to the queue directly, 250 at a time.
    {
        QElapsedTimer clock;
        clock.start();
        const int rounds = 80;
        for (int r = 0; r < rounds; ++r) {
            for (int i = 0; i < 250; ++i)
                window->enqueuePedalFrame(frame(r * 250 + i));
            (void)waitUntil([&] { return !window->pedalFrameDrainPending(); }, 20000);
        }
        const double us = clock.nsecsElapsed() / 1e3 / (rounds * 250);
        std::printf("window alone (queue, drain, three tables, pictures): %.1f us a frame, "
                    "%.0f frames/s\n", us, 1e6 / us);
    }

    rig.notPumped = rig.handled() + rig.dropped() - pump->sent();

    // 1. Sustained rate, whole frames per write, then writes cut anywhere.
    double best = 0;
    double bestExact = 0;
    ladder(rig, false, &best, &bestExact);
    std::printf("whole frames per write: highest rate kept pace with, no frame dropped: %.0f "
                "frames/s, %.1f x the 115200-baud line (%.0f frames/s); no frame lost up to "
                "%.0f frames/s\n",
                best, best / kLineFramesPerSecond, kLineFramesPerSecond, bestExact);
    double cutPaced = 0;
    double cutExact = 0;
    ladder(rig, true, &cutPaced, &cutExact);
    std::printf("writes cut at arbitrary bytes: highest rate with no frame lost or repeated: "
                "%.0f frames/s, %.1f x the line; kept pace up to %.0f frames/s, %.1f x\n",
                cutExact, cutExact / kLineFramesPerSecond, cutPaced,
                cutPaced / kLineFramesPerSecond);

    // 1b. The link alone, writes cut anywhere: what it can frame when no
    // window works on the frames.
    {
        FrameOrder bareOrder;
        QObject::connect(&bareLink, &SerialPort::pedalMidiDataSignal,
                         [&bareOrder](Protocol::MsgPackage p) { bareOrder.take(p); });
        double bareBest = 0;
        for (double rate : {50000.0, 100000.0, 200000.0, 400000.0, 800000.0, 1600000.0, 3200000.0}) {
            const qint64 total = qint64(rate);
            bareOrder.reset(linkPump->sent());
            QElapsedTimer clock;
            clock.start();
            linkPump->start(rate, total, true);
            const bool done = waitUntil(
                [&] { return !linkPump->running() && bareOrder.received >= total; }, 20000);
            const double elapsed = clock.nsecsElapsed() / 1e6;
            const bool ok = done && bareOrder.received == total && bareOrder.wrong == 0
                            && elapsed <= 1050;
            std::printf("  link alone, %8.0f frames/s for 1 s, cut anywhere: %s (%lld of %lld "
                        "out, %lld out of order, last after %.1f ms)\n",
                        rate, ok ? "sustained" : "NOT sustained",
                        static_cast<long long>(bareOrder.received),
                        static_cast<long long>(total), static_cast<long long>(bareOrder.wrong),
                        elapsed);
            std::fflush(stdout);
            (void)waitUntil([&] { return !linkPump->running(); }, 20000);
            if (!ok)
                break;
            bareBest = rate;
        }
        std::printf("link alone, writes cut at arbitrary bytes: highest rate with no frame lost "
                    "or repeated: %.0f frames/s, %.1f x the line\n",
                    bareBest, bareBest / kLineFramesPerSecond);
    }

    // 2. A 20,000-frame burst, with a 1 ms timer measuring the event loop's gaps.
    {
        const qint64 droppedBefore = rig.dropped();
        const qint64 last = pump->sent() + 20000 - 1;
        QElapsedTimer clock;
        qint64 lastTick = -1;
        qint64 longestGap = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (lastTick >= 0)
                longestGap = std::max(longestGap, now - lastTick);
            lastTick = now;
        });
        QAbstractItemModel *model = ui->tableView->model();
        const QByteArray lastFrame = frame(last);
        const auto lastRowShown = [&] {
            const int row = model->rowCount() - 1;
            return row >= 0
                   && model->index(row, 2).data().toInt()
                          == (quint8(lastFrame.at(3)) << 7 | quint8(lastFrame.at(2)))
                   && rig.handled() + rig.dropped() - rig.notPumped > last;
        };
        ticker.start(1);
        clock.start();
        pump->burst(20000);
        (void)waitUntil(lastRowShown, 30000);
        const double shownMs = clock.nsecsElapsed() / 1e6;
        QTest::qWait(20);
        ticker.stop();
        std::printf("20000-frame burst: last row shown after %.1f ms (%.0f frames/s), longest "
                    "event loop gap %.1f ms, %lld frames dropped\n",
                    shownMs, 20000 / (shownMs / 1000), longestGap / 1e6,
                    static_cast<long long>(rig.dropped() - droppedBefore));
    }

    // 3. Resident memory over a million frames at the sustained rate (at least 50,000/s).
    {
        const double rate = std::max(best, 50000.0);
        const double start = residentMB();
        const qint64 from = rig.handled() + rig.dropped();
        double half = 0;
        pump->start(rate, millionFrames);
        (void)waitUntil([&] { return rig.handled() + rig.dropped() - from >= millionFrames / 2; },
                        600000);
        half = residentMB();
        rig.catchUp(600000);
        const double full = residentMB();
        std::printf("resident memory: %.1f MB before, %.1f MB after %lld frames, %.1f MB after "
                    "%lld (%+.1f MB in the second half); %lld dropped\n",
                    start, half, static_cast<long long>(millionFrames / 2), full,
                    static_cast<long long>(millionFrames), full - half,
                    static_cast<long long>(rig.dropped()));
    }

    // 4. The tool tips' times: every row of the tables has one, from the
    // frame's arrival; a tool tip is made only when asked for.
    {
        QAbstractItemModel *model = ui->tableView->model();
        const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000;
        int timed = 0;
        for (int row = 0; row < model->rowCount(); ++row) {
            const qint64 at = model->index(row, 0).data(EventTableModel::arrivalRole).toLongLong();
            if (at > now - 3600LL * 1000000 && at <= now)
                ++timed;
        }
        QElapsedTimer clock;
        clock.start();
        int length = 0;
        const int asks = 20000;
        for (int i = 0; i < asks; ++i)
            length += model->index(i % model->rowCount(), i % 4).data(Qt::ToolTipRole).toString().size();
        const double toolTipUs = clock.nsecsElapsed() / 1e3 / asks;
        // What the intake adds per frame: a clock read and a ring entry.
        FrameCapture ring;
        QElapsedTimer since;
        since.start();
        const QByteArray sample = frame(1);
        const int frames = 2000000;
        clock.restart();
        for (int i = 0; i < frames; ++i)
            ring.add(CapturedFrame::of(since.nsecsElapsed() / 1000, sample));
        std::printf("arrival times: %d of %d rows of the table carry one; a tool tip takes %.2f us "
                    "to make (%d characters made); the time and capture of a frame at the "
                    "intake %.1f ns\n",
                    timed, model->rowCount(), toolTipUs, length,
                    clock.nsecsElapsed() / double(frames));
    }

    // 5. Paused: the tables stand still while the frames are counted.
    {
        auto *pause = window->findChild<QPushButton *>(QStringLiteral("pauseButton"));
        pause->click();
        const double rate = std::max(best, 50000.0);
        const Run run = runAt(rig, rate, false);
        rig.catchUp(20000);
        const qint64 counted = window->monitorPause().framesWhilePaused();
        pause->click();
        std::printf("paused, %.0f frames/s for 1 s: %s (all handled after %.1f ms; %lld frames "
                    "counted while paused; %lld dropped on resume)\n",
                    rate, run.paced ? "kept pace" : run.exact ? "exact, fell behind" : "FRAMES LOST",
                    run.elapsedMs, static_cast<long long>(counted),
                    static_cast<long long>(window->monitorPause().lastDropped()));
    }

    // 6. Export of everything since Connect (the capture, full after the million).
    {
        const FrameCapture &capture = window->monitorCapture();
        QElapsedTimer clock;
        clock.start();
        QVector<ExportRow> rows;
        rows.reserve(capture.size());
        for (int i = 0; i < capture.size(); ++i) {
            const DisplayRow row =
                DisplayRow::of(PedalEvent::decode(capture.at(i).frame()), false, 2);
            rows.append({capture.at(i), row.event, row.number, row.valueText, row.channel});
        }
        const double rowsMs = clock.nsecsElapsed() / 1e6;
        clock.restart();
        const QByteArray csv = MonitorExport::csv(rows, capture.startUs());
        const double csvMs = clock.nsecsElapsed() / 1e6;
        clock.restart();
        const QByteArray midi = MonitorExport::midiFile(MonitorExport::smfTrack(rows));
        const double midiMs = clock.nsecsElapsed() / 1e6;
        std::printf("export of the capture (%d frames of %lld since Connect): rows %.0f ms, CSV "
                    "%.0f ms (%.1f MB), MIDI file %.0f ms (%.1f MB)\n",
                    capture.size(), static_cast<long long>(capture.added()), rowsMs, csvMs,
                    csv.size() / 1e6, midiMs, midi.size() / 1e6);
    }

    controllerThread.quit();
    controllerThread.wait();
    delete window;
    DeviceSource::setCurrent(nullptr);
    return 0;
}
