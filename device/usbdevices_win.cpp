#include "device/usbdevices_win.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <devpropdef.h>
#include <setupapi.h>

#include <initguid.h>

#include <devpkey.h>

#include <cstring>
#include <cwchar>

namespace {

using GetDevicePropertyW = BOOL(WINAPI *)(HDEVINFO, PSP_DEVINFO_DATA, const DEVPROPKEY *,
                                          DEVPROPTYPE *, PBYTE, DWORD, PDWORD, DWORD);

constexpr ULONG instanceIdLength = 260;      // wide characters
constexpr DWORD descriptionBufferSize = 2048; // bytes

} // namespace

std::vector<WindowsUsbDevice> windowsUsbDevices(const GUID *classGuid, const wchar_t *enumerator)
{
    std::vector<WindowsUsbDevice> devices;

    // The property reader exists from Vista on; it is looked up at run time.
    HMODULE setupApi = GetModuleHandleW(L"Setupapi.dll");
    if (!setupApi)
        return devices;
    FARPROC proc = GetProcAddress(setupApi, "SetupDiGetDevicePropertyW");
    if (!proc)
        return devices;
    const auto getProperty = reinterpret_cast<GetDevicePropertyW>(reinterpret_cast<void *>(proc));

    const DWORD flags = classGuid ? DIGCF_PRESENT : (DIGCF_PRESENT | DIGCF_ALLCLASSES);
    HDEVINFO set = SetupDiGetClassDevsW(classGuid, enumerator, nullptr, flags);
    if (set == INVALID_HANDLE_VALUE)
        return devices;

    SP_DEVINFO_DATA info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof(SP_DEVINFO_DATA);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &info); ++index) {
        wchar_t instanceId[instanceIdLength];
        std::memset(instanceId, 0, sizeof instanceId);
        if (CM_Get_Device_IDW(info.DevInst, instanceId, instanceIdLength, 0) != CR_SUCCESS)
            continue;

        alignas(wchar_t) BYTE buffer[descriptionBufferSize];
        std::memset(buffer, 0, sizeof buffer);
        DEVPROPTYPE type = 0;
        DWORD required = 0;
        if (!getProperty(set, &info, &DEVPKEY_Device_BusReportedDeviceDesc, &type, buffer,
                         descriptionBufferSize, &required, 0))
            continue;

        const auto *text = reinterpret_cast<const wchar_t *>(buffer);
        devices.push_back({std::wstring(instanceId, wcsnlen(instanceId, instanceIdLength)),
                           std::wstring(text, wcsnlen(text, descriptionBufferSize / sizeof(wchar_t)))});
    }
    SetupDiDestroyDeviceInfoList(set);
    return devices;
}
