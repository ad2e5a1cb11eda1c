#pragma once

// The lines the simulator prints when it stops: what it heard and what its
// flash holds.

#include "sim/sim_statistics.h"
#include "sim/simulated_flash.h"

#include <string>

namespace tavex {

std::string SummaryText(const SimStatistics& statistics, const SimulatedFlash& flash);

} // namespace tavex
