#include "cli/download/device_wait.h"

#include "text/format.h"

#include <QCoreApplication>

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

DeviceWait WaitForDevice(const std::string& path, int seconds, const std::function<bool()>& stopped)
{
    constexpr auto kPoll = std::chrono::milliseconds(50);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (true) {
        QCoreApplication::processEvents();
        if (stopped()) {
            return DeviceWait::Stopped;
        }
        if (Opens(path)) {
            return DeviceWait::Appeared;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return DeviceWait::TimedOut;
        }
        std::this_thread::sleep_for(kPoll);
    }
}

std::string DeviceNeverCameMessage(const std::string& path, int seconds)
{
    return Format<std::string, int>("Error: The device \"%s\" did not appear within %d seconds.", path, seconds);
}

} // namespace tavex
