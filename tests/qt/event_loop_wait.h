#pragma once

// Runs the Qt event loop while a test waits, so that notifications arrive.

#include <chrono>
#include <functional>

namespace tavex::test {

// Runs events until done() holds; false if it still does not after limit.
bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(2));

void RunEventsFor(std::chrono::milliseconds duration);

} // namespace tavex::test
