#pragma once

// When the bytes written to a serial line have crossed it.

#include "serial/line_settings.h"

#include <chrono>
#include <cstddef>

namespace tavex {

// Where a line's output stands: the moment its last byte will have crossed.
class LineFreeTime {
public:
    using Clock = std::chrono::steady_clock;

    // Counts `bytes` written at `now` on a line with these settings: the line
    // is free once they have had their wire time, and not before the bytes
    // written earlier. Bytes written while others are still on their way wait
    // in the driver's queue, which the close watches by itself; adding their
    // times up would run far ahead of a line that is not paced (a
    // pseudo-terminal answers at once) and make every close wait its longest.
    void Written(std::size_t bytes, const LineSettings& settings, Clock::time_point now);

    // Long past for a line nothing was written to.
    Clock::time_point FreeAt() const { return freeAt_; }

private:
    Clock::time_point freeAt_{};
};

} // namespace tavex
