#include "cli/device_wait.h"

#include "text/format.h"

#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace tavex {

namespace {

bool Opens(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    ::close(descriptor);
    return true;
}

} // namespace

bool WaitForDevice(const std::string& path, int seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!Opens(path)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

std::string DeviceNeverCameMessage(const std::string& path, int seconds)
{
    return Format<std::string, int>("Error: The device \"%s\" did not appear within %d seconds.", path, seconds);
}

} // namespace tavex
