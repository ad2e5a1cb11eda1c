#include "cli/host/device_access.h"

#include "platform/win32/windows_api.h"
#include "serial/win32/com_device_path.h"

#include <algorithm>
#include <cctype>

namespace tavex {

// ComDevicePath is the comm control's own (serial/win32/com_device_path).

// A COM port is a name in the device namespace, not a file: QueryDosDevice
// knows it whether or not another program has it open.
bool DevicePresent(const std::string& path)
{
    const std::string port = NormaliseDevicePath(path);
    if (port.rfind("\\\\.\\", 0) == 0) {
        wchar_t target[512];
        return QueryDosDeviceW(WideFromUtf8(port.substr(4)).c_str(), target, 512) != 0;
    }
    return GetFileAttributesW(WideFromUtf8(port).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Opening a port to see whether it is free would drop DTR at its close.
bool DeviceReady(const std::string& path) { return DevicePresent(path); }

std::string PortPathOf(const std::string& path) { return path; }

std::optional<int> ComNumberNamedBy(const std::string& path) { return ComPortNumber(path); }

// COM3, com3 and \\.\COM3 are one port.
std::string SameDeviceKey(const std::string& path)
{
    std::string key = NormaliseDevicePath(path);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return key;
}

} // namespace tavex
