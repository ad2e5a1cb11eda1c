#pragma once

#include <cstddef>

namespace tavex {

// What one device's session holds open at most, as counted in /proc while
// several download: its thread's event loop, the port, the port's lock file
// and the image file. Three keyboards need 19 descriptors in all, the
// program's own 7 and these; at a limit of 16 two of them run.
inline constexpr std::size_t kDescriptorsPerDevice = 4;

// Left free for the sanitizers' runtime in a sanitized build: its pointer
// checks read /proc/self/maps, and report errors that are none when no
// descriptor is left for that.
#ifdef TAVEX_SANITIZED_BUILD
inline constexpr std::size_t kRuntimeReserve = 8;
#else
inline constexpr std::size_t kRuntimeReserve = 0;
#endif

// How many of `devices` sessions the descriptors still free can carry. A
// session started without them would fail inside the event loop's set-up,
// which ends the whole program; one refused here fails alone.
std::size_t DevicesTheDescriptorsCarry(std::size_t devices);

} // namespace tavex
