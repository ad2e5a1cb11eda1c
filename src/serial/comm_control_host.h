#pragma once

#include "serial/comm_control.h"

#include <memory>

namespace tavex {

// What a platform provides to host a comm control: somewhere for the
// control's notifications to arrive on the session's thread, and the control.
class ICommControlHost {
public:
    virtual ~ICommControlHost() = default;

    // False when the platform cannot deliver notifications to this thread.
    virtual bool CreateEventReceiver() = 0;

    // A new control with its port closed, or null when it cannot be made.
    virtual std::unique_ptr<ICommControl> CreateControl() = 0;
};

} // namespace tavex
