#pragma once

// The lines the simulator prints when it stops: what it heard, the replies
// it dropped because the host did not read them, and what its flash holds.

#include "sim/sim_statistics.h"
#include "flash/simulated_flash.h"

#include <cstdint>
#include <string>

namespace tavex {

std::string SummaryText(const SimStatistics& statistics, std::uint64_t repliesDropped, const SimulatedFlash& flash);

} // namespace tavex
