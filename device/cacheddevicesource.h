#pragma once

#include "device/devicesource.h"

#include <QStringList>

#include <memory>

/// Answers from the lists another source gave last time, as long as no device
/// came or went since: listing the system's serial ports takes milliseconds,
/// and the scans run several times a second on the GUI thread.
///
/// Changes are seen on Linux in directories where device nodes appear (see
/// systemDeviceDirectories()) and on Windows as WM_DEVICECHANGE reaching the
/// application's windows. After a change every call lists afresh for the
/// settle time, because the system finishes a new device's attributes only
/// after it appears. Calls list afresh every time while nothing can be
/// watched: before the application object exists, on threads other than its
/// own, when a watch is refused, and on Windows while the application has no
/// top-level window.
///
/// Destroy it on the application's thread or after the application ended.
class CachedDeviceSource : public DeviceSource
{
public:
    /// inner is not owned. watchedDirs are only used where changes are seen in
    /// directories. settleMs in milliseconds.
    CachedDeviceSource(const DeviceSource *inner, const QStringList &watchedDirs,
                       int settleMs = 2000);
    ~CachedDeviceSource() override;

    QList<SerialPortRecord> serialPorts() const override;
    QList<UsbDeviceRecord> usbDevices() const override;

    /// Where this system's serial and USB device nodes appear.
    static QStringList systemDeviceDirectories();

private:
    struct State;
    std::unique_ptr<State> d;
};
