#include "upgrade/upgradeports.h"

#include "device/devicesource.h"
#include "device/usbdevicedescriptions.h"

#include <QMap>

namespace {

/// The device list's name of a port: its USB description, or what the
/// system says of it when the USB tree does not know it.
QString displayName(const SerialPortRecord &port, const QMap<UsbId, QString> &descriptions)
{
    const auto found = descriptions.constFind(UsbId{port.productId, port.vendorId});
    if (found != descriptions.constEnd())
        return found.value();
    return (port.manufacturer + QLatin1Char(' ') + port.description + QStringLiteral(" (")
            + port.portName + QLatin1Char(')'))
        .simplified();
}

} // namespace

QList<UpgradePort> presentUpgradePorts()
{
    const QMap<UsbId, QString> descriptions = usbDeviceDescriptions(nullptr, L"USB", nullptr, false);
    QList<UpgradePort> ports;
    for (const SerialPortRecord &p : DeviceSource::current()->serialPorts()) {
        const QString name = displayName(p, descriptions);
        // A controller in normal mode is the main window's.
        if (name.isEmpty() || name.contains(QLatin1String("Veltrano")))
            continue;
        ports.append({name, p.portName});
    }
    return ports;
}
