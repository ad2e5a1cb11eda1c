#include "cli/device/download_target.h"

#include "cli/host/device_access.h"

#include <set>

namespace tavex {

std::string DownloadTarget::DevicePath() const { return device.empty() ? ComDevicePath(comNumber) : device; }

int DownloadTarget::ShownComNumber() const
{
    constexpr int kLastSelectableCom = 16;
    if (comNumber > 0) {
        return comNumber;
    }
    const std::optional<int> named = ComNumberNamedBy(device);
    return named && *named <= kLastSelectableCom ? *named : 1;
}

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
