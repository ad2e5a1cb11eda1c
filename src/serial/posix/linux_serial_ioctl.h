#pragma once

// What a Linux serial driver offers beyond termios: a flag that hands
// received bytes on at once, counts of line errors, and the bytes still
// waiting in its output queue. Elsewhere none of them exists.

#include "serial/posix/line_errors.h"

#include <cstddef>
#include <optional>

namespace tavex {

// Asks the driver to pass each received byte on without its usual delay of a
// few milliseconds. False where the driver has no such setting (a
// pseudo-terminal, some USB adapters) or refuses it.
bool SetLowLatency(int fd);

// The driver's line error counts, or empty where it keeps none.
std::optional<LineErrorCounts> ReadLineErrorCounts(int fd);

// The bytes written that the driver has not yet handed to the device, or
// empty where it cannot tell. A pseudo-terminal always answers 0; a USB
// adapter's own buffer is not counted.
std::optional<std::size_t> OutputQueueBytes(int fd);

// The bytes received that the driver holds and nobody has read yet, or empty
// where it cannot tell.
std::optional<std::size_t> InputQueueBytes(int fd);

} // namespace tavex
