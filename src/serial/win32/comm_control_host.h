#pragma once

// Hosts Win32CommControl: notifications arrive through the message loop of
// the thread that makes the control, at a message-only window of its own.

#include "serial/comm_control_host.h"

#include <string>
#include <utility>

namespace tavex {

class Win32CommControlHost : public ICommControlHost {
public:
    // Controls whose port is COM<CommPort>.
    Win32CommControlHost() = default;
    // Controls whose port is devicePath, as given on a command line.
    explicit Win32CommControlHost(std::string devicePath) : devicePath_(std::move(devicePath)) {}

    // False when this thread cannot have a message-only window.
    bool CreateEventReceiver() override;

    // Null where CreateEventReceiver fails: the control's notifications
    // would never arrive.
    std::unique_ptr<ICommControl> CreateControl() override;

private:
    std::string devicePath_;
};

} // namespace tavex
