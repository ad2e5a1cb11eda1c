#pragma once

// The two things a Linux serial driver offers beyond termios: a flag that
// hands received bytes on at once, and counts of line errors. Elsewhere
// neither exists.

#include "serial/qt/line_errors.h"

#include <optional>

namespace tavex {

// Asks the driver to pass each received byte on without its usual delay of a
// few milliseconds. False where the driver has no such setting (a
// pseudo-terminal, some USB adapters) or refuses it.
bool SetLowLatency(int fd);

// The driver's line error counts, or empty where it keeps none.
std::optional<LineErrorCounts> ReadLineErrorCounts(int fd);

} // namespace tavex
