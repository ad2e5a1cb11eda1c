#include "cli/download/download_target.h"

#include "serial/qt/com_device_map.h"

#include <climits>
#include <cstdlib>
#include <set>

namespace tavex {

std::string DownloadTarget::DevicePath() const
{
    return device.empty() ? ComDeviceName(comNumber).toStdString() : device;
}

std::string RepeatedDevice(const std::vector<DownloadTarget>& targets)
{
    std::set<std::string> seen;
    for (const DownloadTarget& target : targets) {
        const std::string path = target.DevicePath();
        char resolved[PATH_MAX];
        // A device that is not there yet (--wait) is compared as written.
        const std::string key = ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
        if (!seen.insert(key).second) {
            return target.Label();
        }
    }
    return {};
}

} // namespace tavex
