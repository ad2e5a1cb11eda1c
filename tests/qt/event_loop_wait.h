#pragma once

// Runs the Qt event loop while a test waits, so that notifications arrive.

#include <chrono>
#include <cstddef>
#include <functional>

namespace tavex::test {

// Runs events until done() holds; false if it still does not after limit.
bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(2));

void RunEventsFor(std::chrono::milliseconds duration);

// Runs events for `duration` and answers how many times the event loop went
// round in that time. An idle loop goes round for each event it is given, a
// handful; one that spins on a descriptor that stays ready goes round
// thousands of times, however fast or slow the machine is.
std::size_t EventLoopTurnsFor(std::chrono::milliseconds duration);

} // namespace tavex::test
