#pragma once

#include <cstdint>

namespace tavex {

// The event code (0 to 18) by which the protocol knows a comm notification.
inline constexpr int kEventReceive = 1;     // bytes have arrived
inline constexpr int kEventUnknown = 17;    // a CommEvent value the program does not know
inline constexpr int kEventNone = 18;       // no notification yet

// Maps a CommEvent value (taken as signed 16-bit) to its event code:
// 1 to 7 give 0 to 6, the line errors 1001 to 1004 and 1006 to 1011 give
// 7 to 16, anything else 17.
int MapCommEvent(std::int16_t commEvent);

} // namespace tavex
