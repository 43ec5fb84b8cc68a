#include "device/devicesource.h"

#include "device/systemdevicesource.h"

namespace {
DeviceSource *replacement = nullptr;
}

DeviceSource *DeviceSource::current()
{
    static SystemDeviceSource system;
    return replacement ? replacement : &system;
}

void DeviceSource::setCurrent(DeviceSource *s)
{
    replacement = s;
}
