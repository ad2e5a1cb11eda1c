#pragma once

// The wire time of a character at QSerialPort's line settings, for the
// shared LineFreeTime.

#include "serial/line_free_time.h"
#include "serial/qt/line_settings.h"

#include <chrono>
#include <cstddef>

namespace tavex {

// The time `bytes` characters take on a line with these settings, rounded up
// to the microsecond; zero for a baud rate that is not positive.
std::chrono::microseconds WireTime(std::size_t bytes, const LineSettings& settings);

} // namespace tavex
