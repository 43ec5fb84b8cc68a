#include "sim/simulateddevicesource.h"

#include "sim/simulatedcontroller.h"

SimulatedDeviceSource::SimulatedDeviceSource(const QList<SimulatedController *> &controllers)
{
    for (SimulatedController *c : controllers)
        addController(c);
}

void SimulatedDeviceSource::addController(SimulatedController *controller)
{
    if (controller && !controllers().contains(controller))
        m_controllers.append(controller);
}

void SimulatedDeviceSource::removeController(SimulatedController *controller)
{
    m_controllers.removeAll(controller);
}

QList<SimulatedController *> SimulatedDeviceSource::controllers() const
{
    QList<SimulatedController *> list;
    for (const QPointer<SimulatedController> &c : m_controllers) {
        if (c)
            list.append(c.data());
    }
    return list;
}

void SimulatedDeviceSource::clearExtraDevices()
{
    m_extraPorts.clear();
    m_extraUsb.clear();
}

QList<SerialPortRecord> SimulatedDeviceSource::serialPorts() const
{
    QList<SerialPortRecord> ports;
    const QList<SimulatedController *> list = controllers();
    for (SimulatedController *c : list) {
        if (!c->isPluggedIn())
            continue;
        ports.append({c->portName(), c->vendorId(), c->productId(), c->usbDescription(),
                      QStringLiteral("Veltrano"), c->serialNumber(), c->portName()});
    }
    return ports + m_extraPorts;
}

QList<UsbDeviceRecord> SimulatedDeviceSource::usbDevices() const
{
    QList<UsbDeviceRecord> devices;
    const QList<SimulatedController *> list = controllers();
    for (SimulatedController *c : list) {
        if (c->isPluggedIn())
            devices.append({c->instanceId(), c->usbDescription()});
    }
    return devices + m_extraUsb;
}
