#include "cli/download/device_wait.h"

#include "cli/host/device_access.h"
#include "cli/host/thread_loop.h"
#include "text/format.h"

#include <chrono>
#include <thread>

namespace tavex {

DeviceWait WaitForDevice(const std::string& path, int seconds, const std::function<bool()>& stopped)
{
    constexpr auto kPoll = std::chrono::milliseconds(50);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (true) {
        ThreadLoop::HandlePending();
        if (stopped()) {
            return DeviceWait::Stopped;
        }
        if (DeviceOpens(path)) {
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
