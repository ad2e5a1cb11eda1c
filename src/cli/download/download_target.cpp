#include "cli/download/download_target.h"

#include "cli/host/device_access.h"

#include <set>

namespace tavex {

std::string DownloadTarget::DevicePath() const { return device.empty() ? ComDevicePath(comNumber) : device; }

std::string RepeatedDevice(const std::vector<DownloadTarget>& targets)
{
    std::set<std::string> seen;
    for (const DownloadTarget& target : targets) {
        if (!seen.insert(SameDeviceKey(target.DevicePath())).second) {
            return target.Label();
        }
    }
    return {};
}

} // namespace tavex
