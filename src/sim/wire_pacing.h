#pragma once

// Timing of bytes on a serial line: a start bit, 8 data bits and a stop bit
// make 10 bit times a byte.

#include "sim/keyboard_response.h"

#include <cstdint>
#include <vector>

namespace tavex {

// Microseconds one byte takes at `baud`, rounded to the nearest; 0 for baud 0.
std::uint64_t ByteTimeMicros(std::uint32_t baud);

// Appends `bytes` to `response` as one reply, starting at `startMicros`: with
// byteMicros 0 as one piece due at the start, otherwise one piece a byte, each
// due when it has crossed the line. Answers when the line is free again.
std::uint64_t AppendReply(KeyboardResponse& response, std::uint64_t startMicros,
                          const std::vector<std::uint8_t>& bytes, std::uint64_t byteMicros);

} // namespace tavex
