#include "device/systemdevicesource.h"

#include <QSerialPortInfo>

#ifdef Q_OS_WIN
#include "device/usbdevices_win.h"
#else
#include "device/sysfsusbdevices.h"
#endif

QList<SerialPortRecord> SystemDeviceSource::serialPorts() const
{
    QList<SerialPortRecord> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        ports.append({info.portName(), info.vendorIdentifier(), info.productIdentifier(),
                      info.description(), info.manufacturer(), info.serialNumber(),
                      info.systemLocation()});
    }
    return ports;
}

QList<UsbDeviceRecord> SystemDeviceSource::usbDevices() const
{
#ifdef Q_OS_WIN
    QList<UsbDeviceRecord> devices;
    for (const WindowsUsbDevice &d : windowsUsbDevices(nullptr, L"USB"))
        devices.append({QString::fromStdWString(d.instanceId),
                        QString::fromStdWString(d.description)});
    return devices;
#else
    return sysfsUsbDevices(QStringLiteral("/sys/bus/usb/devices"));
#endif
}
