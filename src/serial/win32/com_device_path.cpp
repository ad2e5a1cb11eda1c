#include "serial/win32/com_device_path.h"

#include <string_view>

namespace tavex {

namespace {

constexpr std::string_view kDevicePrefix = R"(\\.\)";

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The number of "COM<n>" in any case, n one or more digits not beginning
// with 0; empty for anything else.
std::string_view ComNumber(std::string_view name)
{
    if (name.size() < 4 || AsciiUpper(name[0]) != 'C' || AsciiUpper(name[1]) != 'O' || AsciiUpper(name[2]) != 'M') {
        return {};
    }
    const std::string_view number = name.substr(3);
    if (number.front() == '0' || number.size() > 3) {
        return {};
    }
    for (const char c : number) {
        if (c < '0' || c > '9') {
            return {};
        }
    }
    return number;
}

std::string_view WithoutDevicePrefix(std::string_view name)
{
    if (name.substr(0, kDevicePrefix.size()) == kDevicePrefix) {
        name.remove_prefix(kDevicePrefix.size());
    }
    return name;
}

} // namespace

std::string ComDevicePath(int comNumber) { return std::string(kDevicePrefix) + "COM" + std::to_string(comNumber); }

std::string NormaliseDevicePath(const std::string& devicePath)
{
    const std::string_view number = ComNumber(WithoutDevicePrefix(devicePath));
    if (number.empty()) {
        return devicePath;
    }
    return std::string(kDevicePrefix) + "COM" + std::string(number);
}

std::optional<int> ComPortNumber(const std::string& devicePath)
{
    const std::string_view number = ComNumber(WithoutDevicePrefix(devicePath));
    if (number.empty()) {
        return std::nullopt;
    }
    return std::stoi(std::string(number));
}

} // namespace tavex
