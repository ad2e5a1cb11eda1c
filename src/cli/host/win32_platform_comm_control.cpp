#include "cli/host/platform_comm_control.h"

#include "serial/win32/win32_comm_control.h"

namespace tavex {

// Every thread of a Windows program has a message queue once it asks.
bool ThreadCanReceiveCommEvents() { return true; }

std::unique_ptr<ICommControl> MakePlatformCommControl(const std::string& devicePath)
{
    if (devicePath.empty()) {
        return std::make_unique<Win32CommControl>();
    }
    return std::make_unique<Win32CommControl>(devicePath);
}

} // namespace tavex
