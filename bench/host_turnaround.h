#pragma once

// The host's turnaround read from a `tavexdl-cli download --trace`: from the
// "received" line that completes the reply to a write-block frame to the
// "sent" line of the frame after it. The keyboard and the line have no part
// in that time; it is what the host takes to act on a reply once the session
// has taken it from the port (one event-loop turn after the port read it).

#include <cstdint>
#include <string>
#include <vector>

namespace tavex::bench {

// The turnarounds in microseconds, in the order of the trace, of the lines
// that begin with `device` and ": ".
std::vector<std::int64_t> WriteBlockTurnarounds(const std::string& trace, const std::string& device);

// The value below which `fraction` (0 to 1) of `values` lie, by the nearest
// rank; 0 for no values.
std::int64_t Percentile(std::vector<std::int64_t> values, double fraction);

} // namespace tavex::bench
