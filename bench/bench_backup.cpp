// A full backup (48 asks) and a full restore (48 set commands, each read
// back) of a three-pedal controller over a pseudo-terminal, through the
// link's framing and the backup engine, with the controller taking 10 ms
// before each reply. Prints each job's time against the sum of the
// controller's reply delays, the floor no tool can go below.
#include "backup/backupengine.h"
#include "bench/benchapp.h"
#include "device/devicesource.h"
#include "device/serialport.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int replyDelayMs = 10;
constexpr int rounds = 5;

/// Runs one job to its end; the time in ms, or -1 when it did not complete.
double timeJob(BackupEngine &engine, const std::function<bool()> &start)
{
    QEventLoop loop;
    BackupEngine::Ending ending = BackupEngine::Ending::Cancelled;
    const QMetaObject::Connection done = QObject::connect(
        &engine, &BackupEngine::finished, &loop, [&](const BackupEngine::Outcome &outcome) {
            ending = outcome.ending;
            loop.quit();
        });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    if (!start())
        return -1;
    loop.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    QObject::disconnect(done);
    return ending == BackupEngine::Ending::Completed ? ms : -1;
}

void report(const char *job, QList<double> times, int replies)
{
    std::sort(times.begin(), times.end());
    const double floorMs = double(replies) * replyDelayMs;
    std::printf("backup: %s, %d replies x %d ms = %.0f ms floor: best %.1f ms (ratio %.3f), "
                "median %.1f ms (ratio %.3f)\n",
                job, replies, replyDelayMs, floorMs, times.first(), times.first() / floorMs,
                times.at(times.size() / 2), times.at(times.size() / 2) / floorMs);
}

} // namespace

int main(int argc, char *argv[])
{
    const BenchApp app(argc, argv);

    SimulatedController device(QStringLiteral("QRX-10"));
    device.setReplyDelay(replyDelayMs);
    SimulatedDeviceSource source({&device});
    DeviceSource::setCurrent(&source);

    QComboBox list;
    SerialPort link(&list, QStringLiteral("Veltrano"), nullptr);
    link.setReadBufferSize(100); // as the main window reads
    if (!link.openPort(device.portName(), 115200)) {
        std::printf("backup: cannot open the simulated controller\n");
        return 1;
    }
    BackupEngine engine([&link](const QByteArray &c) { return link.write(c) == c.size(); });
    QObject::connect(&link, &SerialPort::pedalMidiDataSignal, &engine,
                     [&engine](const Protocol::MsgPackage &p) { engine.takeFrame(p); });
    const BackupEngine::AskContext ask{device.usbDescription(), -1, 0};

    ControllerBackup header;
    header.model = device.model().name;
    header.pedalCount = device.behaviour().pedalCount();
    const int slotCount = header.pedalCount * ControllerBackup::SlotCount;

    QList<double> backupTimes, restoreTimes;
    for (int round = 0; round < rounds; ++round) {
        const double b = timeJob(engine, [&] { return engine.startBackup(header, ask); });
        const ControllerBackup backup = engine.lastOutcome().backup;
        device.behaviour().clearDefinitions();
        const double r = timeJob(engine, [&] { return engine.startRestore(backup, ask); });
        device.clearRecords(); // keeps the controller's records from growing over the rounds
        if (b < 0 || r < 0 || backup.definitionCount() != slotCount) {
            std::printf("backup: a job did not complete (%s)\n",
                        qPrintable(engine.lastOutcome().message));
            return 1;
        }
        backupTimes.append(b);
        restoreTimes.append(r);
    }
    report("full backup of 3 pedals", backupTimes, slotCount);
    report("full restore of 3 pedals", restoreTimes, 2 * slotCount);
    DeviceSource::setCurrent(nullptr);
    return 0;
}
