#pragma once

#include "device/devicesource.h"

/// The devices the operating system reports: serial ports from Qt, USB
/// devices from sysfs on Linux and from the device-setup services on Windows.
class SystemDeviceSource : public DeviceSource {
public:
    QList<SerialPortRecord> serialPorts() const override;
    QList<UsbDeviceRecord> usbDevices() const override;
};
