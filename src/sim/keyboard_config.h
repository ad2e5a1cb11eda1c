#pragma once

// How a simulated keyboard behaves: its hardware, its line and its faults.

#include "sim/fault_plan.h"

#include <cstdint>
#include <optional>

namespace tavex {

struct KeyboardConfig {
    std::uint8_t hardwareVersion = 1;
    std::optional<std::uint32_t> onlyBaud;  // when set, frames at any other baud are line noise
    bool wrongIdentification = false;       // PING answers another keyboard's identification
    bool idWithoutKb = false;               // the identity record does not begin "KB"
    std::uint32_t processingMs = 0;         // added before every reply
    bool paceWire = false;                  // bytes take their time on the line, 10 bits each
    std::optional<std::uint32_t> paceBaud;  // the pace, when not the line's own speed
    FaultPlan faults;
};

} // namespace tavex
