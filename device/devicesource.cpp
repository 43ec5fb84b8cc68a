#include "device/devicesource.h"

#include "device/cacheddevicesource.h"
#include "device/systemdevicesource.h"

namespace {
DeviceSource *replacement = nullptr;
}

DeviceSource *DeviceSource::current()
{
    static SystemDeviceSource system;
    static CachedDeviceSource cached(&system, CachedDeviceSource::systemDeviceDirectories());
    return replacement ? replacement : &cached;
}

void DeviceSource::setCurrent(DeviceSource *s)
{
    replacement = s;
}
