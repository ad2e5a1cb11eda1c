#pragma once

// The device path a COM port is opened by. Only "\\.\COMn" reaches every
// COM port: the plain name "COMn" works for COM1 to COM9 alone.

#include <optional>
#include <string>

namespace tavex {

// "\\.\COM<n>".
std::string ComDevicePath(int comNumber);

// "COM12", "com12" and "\\.\COM12" all give "\\.\COM12"; any other path
// (a named device, a file for tests) is used as given.
std::string NormaliseDevicePath(const std::string& devicePath);

// The number of the COM port a path names ("COM12", "com12", "\\.\COM12":
// 12), or none for any other path.
std::optional<int> ComPortNumber(const std::string& devicePath);

} // namespace tavex
