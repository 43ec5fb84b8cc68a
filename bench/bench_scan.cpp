// The device scans that run several times a second on the GUI thread: the
// system's own device source (serial ports and the USB tree of this machine),
// the description lookup and list update over a busy fake machine, and the
// GUI-thread cost of one scan with nothing plugged in or out, the system's
// source asked directly (uncachedScan) against DeviceSource::current(), which
// answers from its cache (cachedScan), and one look of the auto-reconnect
// while it waits for an unplugged controller (four a second for 30 s).
#include "device/devicesource.h"
#include "device/reconnectpolicy.h"
#include "device/serialport.h"
#include "device/systemdevicesource.h"

#include <QApplication>
#include <QComboBox>
#include <benchmark/benchmark.h>

#include <chrono>

namespace {

class BusyMachine : public DeviceSource
{
public:
    BusyMachine()
    {
        for (int i = 0; i < 40; ++i) {
            const int pid = 0x5000 + i;
            const QString port = QStringLiteral("/dev/ttyACM%1").arg(i);
            m_ports.append({port, 0x3A1D, pid, {}, {}, {}, port});
            m_usb.append({QStringLiteral("USB\\VID_3A1D&PID_%1\\%2").arg(pid, 4, 16).arg(i),
                          i % 2 ? QStringLiteral("Veltrano QRX-%1 MIDI").arg(i)
                                : QStringLiteral("Other Device %1").arg(i)});
        }
    }
    QList<SerialPortRecord> serialPorts() const override { return m_ports; }
    QList<UsbDeviceRecord> usbDevices() const override { return m_usb; }

private:
    QList<SerialPortRecord> m_ports;
    QList<UsbDeviceRecord> m_usb;
};

void systemScan(benchmark::State &state)
{
    DeviceSource::setCurrent(nullptr);
    QComboBox combo;
    SerialPort link(&combo, QStringLiteral("Veltrano"), nullptr);
    for (auto _ : state)
        link.initPort();
}

void busyMachineScan(benchmark::State &state)
{
    BusyMachine machine;
    DeviceSource::setCurrent(&machine);
    QComboBox combo;
    SerialPort link(&combo, QStringLiteral("Veltrano"), nullptr);
    for (auto _ : state)
        link.initPort();
    state.counters["items"] = combo.count();
    DeviceSource::setCurrent(nullptr);
}

/// The present controllers of the busy machine against a lost one that does
/// not come back: every look lists, matches and finds nothing.
void busyMachineReconnectLook(benchmark::State &state)
{
    BusyMachine machine;
    DeviceSource::setCurrent(&machine);
    QComboBox combo;
    SerialPort link(&combo, QStringLiteral("Veltrano"), nullptr);
    ReconnectPolicy policy;
    policy.connected({QStringLiteral("/dev/ttyACM99"), QStringLiteral("Veltrano QRX-99 MIDI"),
                      QStringLiteral("SN99")});
    policy.lost({}, 0, false);
    qint64 now = 0;
    for (auto _ : state) {
        now = (now + 1) % 1000; // inside the window
        benchmark::DoNotOptimize(policy.poll(link.presentControllers(), now, false).kind);
    }
    state.counters["controllers"] = link.presentControllers().size();
    DeviceSource::setCurrent(nullptr);
}

enum class Scan { SerialPorts, UsbDevices, InitPort, PresencePoll };

/// One scan through the current source: a listing, or one of the link's scans.
void scanOnce(Scan scan, SerialPort &link)
{
    switch (scan) {
    case Scan::SerialPorts:
        benchmark::DoNotOptimize(DeviceSource::current()->serialPorts());
        break;
    case Scan::UsbDevices:
        benchmark::DoNotOptimize(DeviceSource::current()->usbDevices());
        break;
    case Scan::InitPort:
        link.initPort();
        break;
    case Scan::PresencePoll:
        link.updatePortStatus();
        break;
    }
}

void uncachedScan(benchmark::State &state, Scan scan)
{
    SystemDeviceSource system;
    DeviceSource::setCurrent(&system);
    QComboBox combo;
    SerialPort link(&combo, QStringLiteral("Veltrano"), nullptr);
    for (auto _ : state)
        scanOnce(scan, link);
    DeviceSource::setCurrent(nullptr);
}

/// The event loop turns between scans, as between the timers' ticks, so the
/// cache's watcher gets its notices; only the scan itself is timed.
void cachedScan(benchmark::State &state, Scan scan)
{
    DeviceSource::setCurrent(nullptr);
    QComboBox combo;
    SerialPort link(&combo, QStringLiteral("Veltrano"), nullptr);
    scanOnce(scan, link); // the first call lists
    for (auto _ : state) {
        QCoreApplication::processEvents();
        const auto start = std::chrono::steady_clock::now();
        scanOnce(scan, link);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
    }
}

} // namespace

void systemSerialPorts(benchmark::State &state)
{
    DeviceSource::setCurrent(nullptr);
    for (auto _ : state)
        benchmark::DoNotOptimize(DeviceSource::current()->serialPorts());
}

void systemUsbDevices(benchmark::State &state)
{
    DeviceSource::setCurrent(nullptr);
    for (auto _ : state)
        benchmark::DoNotOptimize(DeviceSource::current()->usbDevices());
}

BENCHMARK(systemSerialPorts)->Unit(benchmark::kMillisecond);
BENCHMARK(systemUsbDevices)->Unit(benchmark::kMillisecond);
BENCHMARK(systemScan)->Unit(benchmark::kMillisecond);
BENCHMARK(busyMachineScan)->Unit(benchmark::kMicrosecond);
BENCHMARK(busyMachineReconnectLook)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(uncachedScan, serialPorts, Scan::SerialPorts)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(cachedScan, serialPorts, Scan::SerialPorts)
    ->UseManualTime()->Iterations(200000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(uncachedScan, usbDevices, Scan::UsbDevices)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(cachedScan, usbDevices, Scan::UsbDevices)
    ->UseManualTime()->Iterations(200000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(uncachedScan, initPort, Scan::InitPort)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(cachedScan, initPort, Scan::InitPort)
    ->UseManualTime()->Iterations(200000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(uncachedScan, presencePoll, Scan::PresencePoll)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(cachedScan, presencePoll, Scan::PresencePoll)
    ->UseManualTime()->Iterations(200000)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
