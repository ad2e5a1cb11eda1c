#pragma once

#include <string>

namespace tavex {

// Waits up to `seconds` for `path` to exist and open (an adapter plugged in
// late, a keyboard coming back after a reset). Answers whether it did.
bool WaitForDevice(const std::string& path, int seconds);

// The message for a device that never came.
std::string DeviceNeverCameMessage(const std::string& path, int seconds);

} // namespace tavex
