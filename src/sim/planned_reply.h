#pragma once

// The reply a frame gets once a fault, if one matches it, has had its way.

#include "sim/fault_plan.h"

#include <cstdint>
#include <vector>

namespace tavex {

struct PlannedReply {
    std::vector<std::uint8_t> bytes;  // may be empty: nothing is sent
    std::uint64_t extraDelayMicros = 0;
    bool vanishAfter = false;
};

// `dueReply` is what the keyboard answers when nothing goes wrong; `fault`
// may be nullptr.
PlannedReply PlanReply(std::vector<std::uint8_t> dueReply, const Fault* fault);

} // namespace tavex
