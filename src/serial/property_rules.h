#pragma once

// The checks every comm control makes of a property value before it takes
// it, with the same texts on every platform. Each throws CommControlError.

#include "serial/comm_control.h"

#include <cstdint>
#include <string>

namespace tavex {

void RequireComNumber(std::int16_t number);                     // CommPort: 1 to 16
void RequirePositive(std::int16_t value, const char* property);  // the buffer sizes
void RequireNotNegative(std::int16_t value, const char* property);  // thresholds, InputLen
void RequireHandshaking(std::int32_t value);                    // 0 to 3
void RequireParityReplace(const std::string& replacement);      // one character at most
void RequireInputMode(std::int32_t mode);                       // 0 or 1

} // namespace tavex
