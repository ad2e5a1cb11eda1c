#pragma once

// The baud rate of a terminal's settings as a number.

#include <cstdint>
#include <termios.h>

namespace tavex {

// Bits per second of the speed constant `speed` (B19200 gives 19200); 0 for a
// constant the table does not hold.
std::uint32_t BaudOfSpeed(speed_t speed);

// True for a rate a host can set on the line, other than 0 (hang up).
bool IsLineBaud(std::uint32_t baud);

} // namespace tavex
