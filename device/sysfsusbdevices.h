#pragma once

#include "device/devicesource.h"

/// The USB devices under a sysfs devices directory (normally
/// /sys/bus/usb/devices), in name order. Each device directory with idVendor
/// and idProduct yields the instance id USB\VID_vvvv&PID_pppp\<directory name>
/// (upper-case hex) and its `product` string as the description; devices that
/// report no product string are left out, as the Windows walk leaves out
/// devices without a bus-reported description.
QList<UsbDeviceRecord> sysfsUsbDevices(const QString &root);
