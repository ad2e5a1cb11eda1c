#include "serial/win32/comm_control_host.h"

#include "serial/win32/message_window.h"
#include "serial/win32/comm_control.h"

namespace tavex {

bool Win32CommControlHost::CreateEventReceiver()
{
    const MessageWindow trial([](UINT, WPARAM) {});
    return trial.Valid();
}

std::unique_ptr<ICommControl> Win32CommControlHost::CreateControl()
{
    try {
        if (devicePath_.empty()) {
            return std::make_unique<Win32CommControl>();
        }
        return std::make_unique<Win32CommControl>(devicePath_);
    } catch (const CommControlError&) {
        return nullptr;  // the thread cannot have the control's window
    }
}

} // namespace tavex
