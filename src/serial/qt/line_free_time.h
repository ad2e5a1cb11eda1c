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

    // Counts `bytes` written at `now`: the line is free once they have had
    // their wire time, and not before the bytes written earlier. Bytes written
    // while others are still on their way wait in the driver's queue, which
    // the close watches by itself; adding their times up would run far ahead
    // of a line that is not paced (a pseudo-terminal answers at once) and
    // make every close wait its longest.
    void Written(std::size_t bytes, const LineSettings& settings, Clock::time_point now);

    // Long past for a line nothing was written to.
    Clock::time_point FreeAt() const { return freeAt_; }

private:
    Clock::time_point freeAt_{};
};

} // namespace tavex
