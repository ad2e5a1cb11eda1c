#include "cli/host/platform_comm_control.h"

#include "serial/win32/comm_control_host.h"

namespace tavex {

// Every thread of a Windows program has a message queue once it asks.
bool ThreadCanReceiveCommEvents() { return true; }

// The control's host answers null for a control the thread cannot have,
// which the session reports as a port that could not be opened.
std::unique_ptr<ICommControl> MakePlatformCommControl(const std::string& devicePath)
{
    Win32CommControlHost host(devicePath);
    return host.CreateControl();
}

} // namespace tavex
