#pragma once

// What the command line asks of a serial device before it opens it as a
// port: where COM n is, whether a device is there and opens, and whether two
// names are one device.

#include <string>

namespace tavex {

// COM n's device: on Windows the port itself (\\.\COMn); on Linux the device
// named by TAVEXDL_COM<n>, the settings, else /dev/ttyS<n-1>.
std::string ComDevicePath(int comNumber);

// The device exists (it may still be in use).
bool DevicePresent(const std::string& path);

// The device exists and opens now (and is closed again at once).
bool DeviceOpens(const std::string& path);

// One name for one device, whatever way it was written; a device that is
// not there yet keeps the name it was given.
std::string SameDeviceKey(const std::string& path);

} // namespace tavex
