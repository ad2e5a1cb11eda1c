#pragma once

// The comm control on a Win32 COM port. Notifications come from the message
// loop of the thread that made the control, through a message-only window of
// its own; that thread has to run a GetMessage / DispatchMessage loop, and is
// the one to use and destroy the control.

#include "serial/comm_control_core.h"

#include <string>

namespace tavex {

class Win32CommControl : public CommControl {
public:
    // The port is COM<CommPort>, opened as \\.\COM<n>. Throws
    // CommControlError when the thread cannot have the control's window.
    Win32CommControl();
    // The port is devicePath whatever CommPort says: "COM12", "com12" and
    // "\\.\COM12" all name \\.\COM12, any other path is used as given.
    explicit Win32CommControl(const std::string& devicePath);
};

} // namespace tavex
