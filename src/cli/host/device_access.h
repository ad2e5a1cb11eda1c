#pragma once

// What the command line asks of a serial device before it opens it as a
// port: where COM n is, whether a device is there and free, and whether two
// names are one device. None of it opens the device: on a real port every
// close drops DTR, a pulse that resets some keyboards.

#include <optional>
#include <string>

namespace tavex {

// COM n's device: on Windows the port itself (\\.\COMn); on Linux the device
// named by TAVEXDL_COM<n>, the settings, else /dev/ttyS<n-1>.
std::string ComDevicePath(int comNumber);

// The device exists (it may still be in use).
bool DevicePresent(const std::string& path);

// The device is there for a session: on Linux a character device this user
// may read and write that no live lock file claims; on Windows a COM port
// the system knows.
bool DeviceReady(const std::string& path);

// The name the port is opened by, meaning the very file the command line's
// own checks looked at: on Linux a relative name is taken in the working
// folder (the port would otherwise look for it in /dev) and links are
// followed to the device itself; on Windows the name as given.
std::string PortPathOf(const std::string& path);

// The COM number a device's name stands for, where the name is a COM port
// (Windows: COM3, com3, \\.\COM3); none for a path (Linux), whose messages
// name COM 1 as the desktop's would and give the path in their reason.
std::optional<int> ComNumberNamedBy(const std::string& path);

// One name for one device, whatever way it was written: on Linux two nodes
// or links of one device share it; a device that is not there yet keeps the
// name it was given.
std::string SameDeviceKey(const std::string& path);

} // namespace tavex
