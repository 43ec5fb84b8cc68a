#pragma once

// Plain C++ on purpose: the Windows walk is compiled without Qt.

#include <string>
#include <vector>

#ifdef _WIN32
#include <guiddef.h>
#else
struct _GUID;
typedef struct _GUID GUID;
#endif

/// One present device as the device-setup services report it.
struct WindowsUsbDevice {
    std::wstring instanceId;  // e.g. USB\VID_1A86&PID_7523\5&2A1B
    std::wstring description; // bus-reported product string
};

/// The present devices of a setup class (all classes when classGuid is null)
/// on an enumerator such as L"USB", in the order the services list them.
/// Devices whose instance id or bus-reported description cannot be read are
/// left out; without the services (module or property reader missing, or no
/// device set) the list is empty.
std::vector<WindowsUsbDevice> windowsUsbDevices(const GUID *classGuid, const wchar_t *enumerator);
