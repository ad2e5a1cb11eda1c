#pragma once

// What the keyboard has seen since it started, over every session.

#include "sim/command_kind.h"

#include <array>
#include <cstdint>

namespace tavex {

struct SimStatistics {
    std::array<std::uint64_t, kCommandKindCount> framesByKind{};  // by IndexOf(kind)
    std::uint64_t badChecksums = 0;     // answered "CE"
    std::uint64_t malformedFrames = 0;  // answered "FE": unknown command or misshapen body
    std::uint64_t faultsApplied = 0;
    std::uint64_t wrongBaudFrames = 0;  // heard as line noise, not answered
};

} // namespace tavex
