#pragma once

// The driver's running counts of line errors, and the CommEvent each new one
// raises.

#include <cstdint>
#include <vector>

namespace tavex {

struct LineErrorCounts {
    std::uint32_t frame = 0;
    std::uint32_t overrun = 0;      // the UART's own receive register
    std::uint32_t parity = 0;
    std::uint32_t breaks = 0;
    std::uint32_t bufferOverrun = 0;  // the driver's receive buffer
};

// One CommEvent for each count that grew from before to now, in a fixed
// order; the counts only grow, so a count that fell (a driver reset) is no
// error.
std::vector<std::int16_t> NewLineErrors(const LineErrorCounts& before, const LineErrorCounts& now);

} // namespace tavex
