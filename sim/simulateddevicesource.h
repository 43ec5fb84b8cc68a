#pragma once

#include "device/devicesource.h"

#include <QList>
#include <QPointer>

class SimulatedController;

/// Lists simulated controllers as the system would list real ones: a serial
/// port record (port name = the pseudo-terminal's slave path) and a USB
/// device record with the controller's instance id and description, both
/// those of the controller's current mode (normal or upgrade). Only
/// controllers that are plugged in are listed; adding and removing
/// controllers, or plugging them in and out, changes the lists at once.
/// Install it with DeviceSource::setCurrent().
class SimulatedDeviceSource : public DeviceSource {
public:
    SimulatedDeviceSource() = default;
    explicit SimulatedDeviceSource(const QList<SimulatedController *> &controllers);

    /// Not owned; a controller that is deleted drops out of the lists.
    void addController(SimulatedController *controller);
    void removeController(SimulatedController *controller);
    QList<SimulatedController *> controllers() const;

    /// Devices that are not controllers (another make, a built-in port).
    void addSerialPort(const SerialPortRecord &port) { m_extraPorts.append(port); }
    void addUsbDevice(const UsbDeviceRecord &device) { m_extraUsb.append(device); }
    void clearExtraDevices();

    QList<SerialPortRecord> serialPorts() const override;
    QList<UsbDeviceRecord> usbDevices() const override;

private:
    QList<QPointer<SimulatedController>> m_controllers;
    QList<SerialPortRecord> m_extraPorts;
    QList<UsbDeviceRecord> m_extraUsb;
};
