#include "cli/host/device_access.h"

#include "serial/posix/port_lock_files.h"
#include "serial/qt/com_device_map.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tavex {

namespace {

std::string InWorkingFolder(const std::string& path)
{
    if (path.starts_with('/')) {
        return path;
    }
    char folder[PATH_MAX];
    return ::getcwd(folder, sizeof folder) != nullptr ? std::string(folder) + "/" + path : path;
}

} // namespace

std::string ComDevicePath(int comNumber) { return ComDeviceName(comNumber).toStdString(); }

bool DevicePresent(const std::string& path)
{
    struct stat attributes {};
    return ::stat(path.c_str(), &attributes) == 0;
}

bool DeviceReady(const std::string& path)
{
    struct stat attributes {};
    return ::stat(path.c_str(), &attributes) == 0 && S_ISCHR(attributes.st_mode) &&
           ::access(path.c_str(), R_OK | W_OK) == 0 && !LiveLockHolder(PortPathOf(path));
}

std::string PortPathOf(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : InWorkingFolder(path);
}

std::optional<int> ComNumberNamedBy(const std::string&) { return std::nullopt; }

std::string SameDeviceKey(const std::string& path)
{
    struct stat attributes {};
    if (::stat(path.c_str(), &attributes) == 0 && S_ISCHR(attributes.st_mode)) {
        return "character device " + std::to_string(major(attributes.st_rdev)) + ":" +
               std::to_string(minor(attributes.st_rdev));
    }
    return PortPathOf(path);
}

} // namespace tavex
