#pragma once

#include <QList>
#include <QString>

/// One present serial port, as the system reports it.
struct SerialPortRecord {
    QString portName;
    int vendorId;
    int productId;
    QString description;
    QString manufacturer;
    QString serialNumber;
    QString systemLocation;
};

/// One present USB device.
struct UsbDeviceRecord {
    QString instanceId;  // e.g. USB\VID_1A86&PID_7523\5&2A1B
    QString description; // bus-reported product string
};

/// What the system reports about present devices. Every device scan in the
/// program goes through current(), so tests and the demo can list simulated
/// controllers instead.
class DeviceSource {
public:
    virtual ~DeviceSource() = default;
    virtual QList<SerialPortRecord> serialPorts() const = 0;  // as QSerialPortInfo::availablePorts()
    virtual QList<UsbDeviceRecord> usbDevices() const = 0;    // present USB devices
    static DeviceSource *current();            // the system's own unless replaced
    static void setCurrent(DeviceSource *s);   // nullptr restores the system's own
};
