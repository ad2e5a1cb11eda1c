#include "cli/host/device_access.h"

#include "platform/windows_api.h"

#include <algorithm>
#include <cctype>

namespace tavex {

namespace {

// COM12, com12 and \\.\COM12 name the port \\.\COM12; other paths stay.
std::string PortDevicePath(const std::string& path)
{
    if (path.size() > 3 && (path[0] == 'C' || path[0] == 'c') && (path[1] == 'O' || path[1] == 'o') &&
        (path[2] == 'M' || path[2] == 'm') &&
        std::all_of(path.begin() + 3, path.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return "\\\\.\\" + path;
    }
    return path;
}

} // namespace

std::string ComDevicePath(int comNumber) { return "\\\\.\\COM" + std::to_string(comNumber); }

// A COM port is a name in the device namespace, not a file: QueryDosDevice
// knows it whether or not another program has it open.
bool DevicePresent(const std::string& path)
{
    const std::string port = PortDevicePath(path);
    if (port.rfind("\\\\.\\", 0) == 0) {
        wchar_t target[512];
        return QueryDosDeviceW(WideFromUtf8(port.substr(4)).c_str(), target, 512) != 0;
    }
    return GetFileAttributesW(WideFromUtf8(port).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DeviceOpens(const std::string& path)
{
    HANDLE handle = CreateFileW(WideFromUtf8(PortDevicePath(path)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(handle);
    return true;
}

// COM3, com3 and \\.\COM3 are one port.
std::string SameDeviceKey(const std::string& path)
{
    std::string key = PortDevicePath(path);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return key;
}

} // namespace tavex
