#pragma once

// When the bytes written to a serial line have crossed it. Each character
// takes a start bit, its data bits, a parity bit if there is one and its
// stop bits, one bit time each at the line's baud rate.

#include "serial/qt/line_settings.h"

#include <chrono>
#include <cstddef>

namespace tavex {

// The time `bytes` characters take on a line with these settings, rounded up
// to the microsecond; zero for a baud rate that is not positive.
std::chrono::microseconds WireTime(std::size_t bytes, const LineSettings& settings);

// Where a line's output stands: the moment its last byte will have crossed.
class LineFreeTime {
public:
    using Clock = std::chrono::steady_clock;

    // Counts `bytes` written at `now`: they follow those still on their way,
    // or start at once on an idle line.
    void Written(std::size_t bytes, const LineSettings& settings, Clock::time_point now);

    // Long past for a line nothing was written to.
    Clock::time_point FreeAt() const { return freeAt_; }

private:
    Clock::time_point freeAt_{};
};

} // namespace tavex
