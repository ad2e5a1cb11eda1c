#pragma once

#include <functional>
#include <string>

namespace tavex {

enum class DeviceWait { Appeared, TimedOut, Stopped };

// Waits up to `seconds` for `path` to be ready for a session (an adapter
// plugged in late, a keyboard coming back after a reset), without opening
// it: the session's own open is the only one. The thread's events go on
// being handled meanwhile, so a Ctrl-C or a cancel from another thread gets
// through; `stopped` is asked after them, and a stop ends the wait within
// a tenth of a second.
DeviceWait WaitForDevice(const std::string& path, int seconds, const std::function<bool()>& stopped);

// The message for a device that never came.
std::string DeviceNeverCameMessage(const std::string& path, int seconds);

} // namespace tavex
