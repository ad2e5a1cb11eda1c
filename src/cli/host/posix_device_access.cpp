#include "cli/host/device_access.h"

#include "serial/qt/com_device_map.h"

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavex {

std::string ComDevicePath(int comNumber) { return ComDeviceName(comNumber).toStdString(); }

bool DevicePresent(const std::string& path)
{
    struct stat attributes {};
    return ::stat(path.c_str(), &attributes) == 0;
}

bool DeviceOpens(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    ::close(descriptor);
    return true;
}

std::string SameDeviceKey(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

} // namespace tavex
