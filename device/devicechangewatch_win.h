#pragma once

#include "device/devicewatch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QPointer>

/// Reports WM_DEVICECHANGE, which Windows sends to every top-level window
/// when a device arrives or leaves or the device tree changes.
class DeviceChangeWatch : public DeviceWatch, public QAbstractNativeEventFilter
{
public:
    explicit DeviceChangeWatch(Changed changed);
    ~DeviceChangeWatch() override;

    /// Installs the filter on the application object on first use, and
    /// again on a later one; true only while the application has a top-level
    /// window to receive the message.
    bool watching() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;

private:
    Changed m_changed;
    QPointer<QCoreApplication> m_app;
};
