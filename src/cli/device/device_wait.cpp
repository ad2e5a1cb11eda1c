#include "cli/device/device_wait.h"

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
        if (DeviceReady(path)) {
            return DeviceWait::Appeared;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return DeviceWait::TimedOut;
        }
        std::this_thread::sleep_for(kPoll);
    }
}

// A device that is there but held, or that this user may not open, did
// appear: the message says what it waited for in vain.
std::string DeviceNeverCameMessage(const std::string& path, int seconds)
{
    if (DevicePresent(path)) {
        return Format<std::string, int>("Error: The device \"%s\" did not become free within %d seconds.", path,
                                        seconds);
    }
    return Format<std::string, int>("Error: The device \"%s\" did not appear within %d seconds.", path, seconds);
}

} // namespace tavex
