#pragma once

// Runs the test thread's message loop while a test waits, so that the
// control's notifications arrive.

#include <chrono>
#include <functional>

namespace tavex::test {

// Dispatches messages until done() holds; false if it still does not after
// limit. Blocks between messages (no busy wait).
bool PumpMessagesUntil(const std::function<bool()>& done,
                       std::chrono::milliseconds limit = std::chrono::seconds(2));

void PumpMessagesFor(std::chrono::milliseconds duration);

} // namespace tavex::test
