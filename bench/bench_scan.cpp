// The device scan that runs every second on the GUI thread: the system's own
// device source (serial ports and the USB tree of this machine), and the
// description lookup and list update over a busy fake machine.
#include "device/devicesource.h"
#include "device/serialport.h"

#include <QApplication>
#include <QComboBox>
#include <benchmark/benchmark.h>

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

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
