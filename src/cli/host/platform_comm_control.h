#pragma once

// The comm control of the platform the command line runs on.

#include "serial/comm_control.h"

#include <memory>
#include <string>

namespace tavex {

// True when notifications can reach the calling thread's loop.
bool ThreadCanReceiveCommEvents();

// A control with its port closed, on `devicePath`, or on the device of its
// CommPort number when the path is empty.
std::unique_ptr<ICommControl> MakePlatformCommControl(const std::string& devicePath);

} // namespace tavex
