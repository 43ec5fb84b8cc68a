// The MIDI output on a JACK dummy server of its own: a simulated controller
// on its own thread writes USB-MIDI event packets into its pseudo-terminal;
// the window reads them through SerialPort and forwards each to its virtual
// port, and an RtMidi input on JACK receives them. Prints
//   - the latency of 10,000 frames, one every millisecond, median and 99th
//     percentile, for two dummy periods: from the controller's write (an
//     upper bound of the time from the read, with the pseudo-terminal in it)
//     and from the dispatch (after the forward returned) to the arrival;
//   - the monitor at 100,000 and 150,000 frames/s for one second with the
//     output on: frames handled, dropped, arrived at the JACK input.
// MIDIOUT_BENCH_FRAMES overrides the 10,000.
#include "bench/benchapp.h"
#include "app/widget.h"
#include "device/devicesource.h"
#include "device/serialport.h"
#include "midiout/midioutput.h"
#include "sim/controllerbehaviour.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "support/jackserver.h"
#include "ui_widget.h"

#include <RtMidi.h>

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

/// Frame n: a pitch bend whose 14-bit value is n modulo 16384.
QByteArray frame(qint64 n)
{
    return ControllerBehaviour::usbMidiEvent(0xE0, quint8(n & 0x7F), quint8((n >> 7) & 0x7F));
}

/// Times of one run, indexed by frame number; arrivals written on a JACK thread.
struct Times
{
    std::vector<qint64> written, dispatched;
    std::vector<std::atomic<qint64>> arrived;
    std::atomic<qint64> arrivals{0};
    std::atomic<qint64> base{0};
    explicit Times(int n) : written(n, 0), dispatched(n, 0), arrived(n) {}
};

void onArrival(double, std::vector<unsigned char> *message, void *user)
{
    auto *t = static_cast<Times *>(user);
    const qint64 at = nowNs();
    t->arrivals.fetch_add(1, std::memory_order_relaxed);
    if (message->size() != 3)
        return;
    const qint64 n = t->base.load() + ((*message)[1] | ((*message)[2] << 7));
    if (n >= 0 && n < qint64(t->arrived.size()))
        t->arrived[size_t(n)].store(at, std::memory_order_release);
}

template<typename Done>
bool waitUntil(Done done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return done();
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * (v.size() - 1) + 0.5))];
}

struct Setup
{
    JackServer *server;
    Widget *window;
    SimulatedController *controller;
};

bool chooseVirtualPort(Widget *window)
{
    for (QMenu *menu : window->findChildren<QMenu *>()) {
        if (menu->title() != QLatin1String("MIDI Output"))
            continue;
        emit menu->aboutToShow();
        for (QAction *a : menu->actions()) {
            if (a->text() == QLatin1String("Virtual port 'Stompwright'")) {
                a->trigger();
                return window->midiOutputSink()->isOn();
            }
        }
    }
    return false;
}

/// Connects the window to the controller's entry and chooses the virtual
/// MIDI output on JACK; false (and a line said) when either fails.
bool connectWithOutput(Widget &window, SimulatedController *controller)
{
    window.midiOutputSink()->setBackend(MidiBackend::Jack);
    Ui::Widget *ui = window.form();
    ui->comboBox_ComDevices->setCurrentIndex(
        ui->comboBox_ComDevices->findText(controller->model().usbDescription));
    ui->connectButton->click();
    if (!waitUntil([&] { return ui->Pedal_Number->count() > 0; }, 5000)
        || !chooseVirtualPort(&window)) {
        std::printf("no connection or no MIDI output\n");
        return false;
    }
    return true;
}

/// One run of the latency measure on a fresh server with the given period.
bool latencyRun(int period, int frames, QThread &thread)
{
    JackServer server(period);
    if (!server.start()) {
        std::printf("no JACK server: %s\n", qPrintable(server.error()));
        return false;
    }
    auto *controller = new SimulatedController(QStringLiteral("ZT-3"));
    SimulatedDeviceSource source;
    source.addController(controller);
    DeviceSource::setCurrent(&source);
    bool ok = true;
    {
        Widget window;
        if (!connectWithOutput(window, controller))
            return false;
        QTest::qWait(700); // identity queries after the open are answered

        Times times(frames);
        RtMidiIn in(RtMidi::UNIX_JACK, "bench-in", 10000);
        in.setCallback(&onArrival, &times);
        bool connected = false;
        for (unsigned i = 0; i < in.getPortCount() && !connected; ++i) {
            if (QString::fromStdString(in.getPortName(i)).contains(QLatin1String("Stompwright"))) {
                in.openPort(i);
                connected = true;
            }
        }
        if (!connected) {
            std::printf("no JACK input connected\n");
            return false;
        }
        qint64 dispatchedCount = 0;
        QObject::connect(window.findChild<SerialPort *>(), &SerialPort::pedalMidiDataSignal,
                         &window, [&](Protocol::MsgPackage p) {
                             if (p.type == Protocol::PadelUploadCmd && dispatchedCount < frames)
                                 times.dispatched[size_t(dispatchedCount++)] = nowNs();
                         });

        controller->moveToThread(&thread);
        std::atomic<int> sent{0};
        QTimer pacer;
        pacer.setTimerType(Qt::PreciseTimer);
        pacer.moveToThread(&thread);
        QObject::connect(&pacer, &QTimer::timeout, controller, [&] {
            const int n = sent.load();
            if (n >= frames) {
                pacer.stop();
                return;
            }
            times.written[size_t(n)] = nowNs();
            controller->send(frame(n));
            controller->clearRecords();
            sent.store(n + 1);
        });
        QMetaObject::invokeMethod(&pacer, [&] { pacer.start(1); });
        // Frames past 16383 carry the value again: arrivals of the second
        // lap are told apart by the base the callback adds.
        waitUntil([&] {
            const int n = sent.load();
            times.base.store(qint64(n / 16384) * 16384);
            return n >= frames && times.arrivals.load() >= frames;
        }, frames * 3 + 10000);
        QMetaObject::invokeMethod(&pacer, [&] {
            pacer.stop();
            pacer.moveToThread(qApp->thread());
        }, Qt::BlockingQueuedConnection);

        std::vector<double> fromWrite, fromDispatch;
        int missing = 0;
        for (int i = 0; i < frames; ++i) {
            const qint64 at = times.arrived[size_t(i)].load(std::memory_order_acquire);
            if (!at || !times.written[size_t(i)]) {
                ++missing;
                continue;
            }
            fromWrite.push_back((at - times.written[size_t(i)]) / 1e6);
            if (times.dispatched[size_t(i)])
                fromDispatch.push_back((at - times.dispatched[size_t(i)]) / 1e6);
        }
        std::printf("dummy period %d frames at 48 kHz (%.2f ms): %d frames, %d not arrived;\n"
                    "  write to arrival    median %.3f ms, p99 %.3f ms\n"
                    "  dispatch to arrival median %.3f ms, p99 %.3f ms\n",
                    period, server.periodMicroseconds() / 1000.0, frames, missing,
                    percentile(fromWrite, 0.5), percentile(fromWrite, 0.99),
                    percentile(fromDispatch, 0.5), percentile(fromDispatch, 0.99));
        std::fflush(stdout);
        ok = missing == 0;
        QMetaObject::invokeMethod(controller, [&] { controller->moveToThread(qApp->thread()); },
                                  Qt::BlockingQueuedConnection);
        window.midiOutputSink()->select(MidiTarget());
    }
    DeviceSource::setCurrent(nullptr);
    delete controller;
    return ok;
}

/// The monitor with the output on: one second of frames at a rate.
void rateRun(QThread &thread)
{
    JackServer server(256);
    if (!server.start()) {
        std::printf("no JACK server: %s\n", qPrintable(server.error()));
        return;
    }
    auto *controller = new SimulatedController(QStringLiteral("ZT-3"));
    SimulatedDeviceSource source;
    source.addController(controller);
    DeviceSource::setCurrent(&source);
    {
        Widget window;
        window.resize(870, 750);
        window.show();
        if (!connectWithOutput(window, controller))
            return;
        QTest::qWait(700);
        Times times(1);
        RtMidiIn in(RtMidi::UNIX_JACK, "bench-in", 10000);
        in.setCallback(&onArrival, &times);
        for (unsigned i = 0; i < in.getPortCount(); ++i) {
            if (QString::fromStdString(in.getPortName(i)).contains(QLatin1String("Stompwright")))
                in.openPort(i);
        }
        controller->moveToThread(&thread);
        for (int rate : {100000, 150000}) {
            const qint64 handledBefore = window.handledPedalFrames();
            const qint64 droppedBefore = window.droppedPedalFrames();
            const qint64 arrivedBefore = times.arrivals.load();
            const qint64 sentBefore = window.midiOutputSink()->sentMessages();
            std::atomic<qint64> sent{0};
            QTimer pacer;
            pacer.setTimerType(Qt::PreciseTimer);
            pacer.moveToThread(&thread);
            QElapsedTimer clock;
            QObject::connect(&pacer, &QTimer::timeout, controller, [&] {
                const qint64 due = std::min<qint64>(rate, qint64(rate * clock.nsecsElapsed() / 1e9));
                QByteArray bytes;
                for (qint64 n = sent.load(); n < due; ++n)
                    bytes += frame(n);
                sent.store(due);
                if (!bytes.isEmpty())
                    controller->send(bytes);
                controller->clearRecords();
                if (due >= rate)
                    pacer.stop();
            });
            QMetaObject::invokeMethod(&pacer, [&] {
                clock.start();
                pacer.start(1);
            });
            QElapsedTimer wall;
            wall.start();
            waitUntil([&] {
                return sent.load() >= rate
                       && window.handledPedalFrames() + window.droppedPedalFrames()
                              - handledBefore - droppedBefore >= rate
                       && !window.pedalFrameDrainPending();
            }, 20000);
            const double ms = wall.nsecsElapsed() / 1e6;
            waitUntil([&] { return times.arrivals.load() - arrivedBefore >= rate; }, 2000);
            QMetaObject::invokeMethod(&pacer, [&] { pacer.stop(); pacer.moveToThread(qApp->thread()); },
                                      Qt::BlockingQueuedConnection);
            const qint64 handled = window.handledPedalFrames() - handledBefore;
            const qint64 dropped = window.droppedPedalFrames() - droppedBefore;
            std::printf("output on, %d frames/s for 1 s: %s; %lld handled, %lld dropped, %lld "
                        "sent, %lld arrived at the JACK input, all handled after %.0f ms\n",
                        rate,
                        handled == rate && dropped == 0 && ms <= 1050 ? "kept pace, no loss"
                        : handled == rate && dropped == 0             ? "no loss, fell behind"
                                                                      : "FRAMES LOST",
                        static_cast<long long>(handled), static_cast<long long>(dropped),
                        static_cast<long long>(window.midiOutputSink()->sentMessages() - sentBefore),
                        static_cast<long long>(times.arrivals.load() - arrivedBefore), ms);
            std::fflush(stdout);
        }
        QMetaObject::invokeMethod(controller, [&] { controller->moveToThread(qApp->thread()); },
                                  Qt::BlockingQueuedConnection);
        window.midiOutputSink()->select(MidiTarget());
    }
    DeviceSource::setCurrent(nullptr);
    delete controller;
}

} // namespace

int main(int argc, char *argv[])
{
    const BenchApp app(argc, argv);
    const int frames = qEnvironmentVariableIsSet("MIDIOUT_BENCH_FRAMES")
                           ? qEnvironmentVariableIntValue("MIDIOUT_BENCH_FRAMES")
                           : 10000;
    QThread thread;
    thread.start();
    for (int period : {16, 64})
        latencyRun(period, frames, thread);
    rateRun(thread);
    thread.quit();
    thread.wait();
    return 0;
}
