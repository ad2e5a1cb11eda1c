#pragma once

#include <string>
#include <vector>

namespace tavex {

// One keyboard's port: a device path, or a COM number through the platform's
// COM mapping.
struct DownloadTarget {
    std::string device;  // empty: the COM number's device
    int comNumber = 0;

    std::string Label() const { return device.empty() ? "COM" + std::to_string(comNumber) : device; }
    std::string DevicePath() const;  // the device either way
    // The COM number the session's messages name: the one given, or the COM
    // port a device name stands for (Windows), else 1. The session's CommPort
    // is 1 to 16; a higher port keeps 1 there, its name in the reason.
    int ShownComNumber() const;
};

// The label of the first target that names the same device as an earlier
// one (directly, through a symbolic link or as the same COM port), or empty.
// Two sessions on one port would fight over it.
std::string RepeatedDevice(const std::vector<DownloadTarget>& targets);

struct DownloadOptions {
    std::string file;
    std::vector<DownloadTarget> targets;
    bool json = false;
    bool trace = false;
    int waitSeconds = 0;  // how long to wait for a device to appear and open
    bool loop = false;    // one keyboard after another on the same devices
    std::string logFile;  // a CSV line per download, when set
};

} // namespace tavex
