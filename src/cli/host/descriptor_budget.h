#pragma once

#include <cstddef>

namespace tavex {

// What one device's session holds open at most: its thread's event loop, the
// port, the port's lock file, the image file, and one spare for the moments
// a file is being replaced.
inline constexpr std::size_t kDescriptorsPerDevice = 6;

// How many of `devices` sessions the descriptors still free can carry. A
// session started without them would fail inside the event loop's set-up,
// which ends the whole program; one refused here fails alone.
std::size_t DevicesTheDescriptorsCarry(std::size_t devices);

} // namespace tavex
