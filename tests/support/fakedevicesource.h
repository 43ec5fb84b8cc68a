#pragma once

#include "device/devicesource.h"

/// A device source whose lists are whatever the test puts in them.
class FakeDeviceSource : public DeviceSource {
public:
    QList<SerialPortRecord> ports;
    QList<UsbDeviceRecord> usb;

    QList<SerialPortRecord> serialPorts() const override { return ports; }
    QList<UsbDeviceRecord> usbDevices() const override { return usb; }
};

/// Installs a device source for one scope and restores the system's own after it.
class ScopedDeviceSource {
public:
    explicit ScopedDeviceSource(DeviceSource *source) { DeviceSource::setCurrent(source); }
    ~ScopedDeviceSource() { DeviceSource::setCurrent(nullptr); }
    ScopedDeviceSource(const ScopedDeviceSource &) = delete;
    ScopedDeviceSource &operator=(const ScopedDeviceSource &) = delete;
};
