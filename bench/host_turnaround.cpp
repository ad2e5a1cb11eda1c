#include "host_turnaround.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace tavex::bench {

namespace {

struct TraceLine {
    std::int64_t micros = 0;
    std::string what;   // "open", "close", "sent" or "received"
    std::string bytes;  // the hexadecimal pairs, each after a blank
};

// "<blanks><micros> us <what, padded to 8><bytes>", the part after the device.
bool ParseLine(const std::string& text, TraceLine& line)
{
    const char* start = text.c_str();
    char* end = nullptr;
    line.micros = std::strtoll(start, &end, 10);
    if (end == start || text.compare(static_cast<std::size_t>(end - start), 4, " us ") != 0) {
        return false;
    }
    const std::size_t whatAt = static_cast<std::size_t>(end - start) + 4;
    const std::size_t whatEnd = text.find(' ', whatAt);
    line.what = text.substr(whatAt, whatEnd == std::string::npos ? std::string::npos : whatEnd - whatAt);
    const std::size_t bytesAt = whatAt + 8;
    line.bytes = bytesAt < text.size() ? text.substr(bytesAt) : std::string();
    return true;
}

} // namespace

std::vector<std::int64_t> WriteBlockTurnarounds(const std::string& trace, const std::string& device)
{
    const std::string prefix = device + ": ";
    std::vector<std::int64_t> turnarounds;
    bool afterWriteBlock = false;  // the last frame sent was a write-block
    bool replied = false;          // a reply has come since
    std::int64_t lastReceived = 0;
    std::istringstream in(trace);
    for (std::string text; std::getline(in, text);) {
        TraceLine line;
        if (text.rfind(prefix, 0) != 0 || !ParseLine(text.substr(prefix.size()), line)) {
            continue;
        }
        if (line.what == "received") {
            replied = true;
            lastReceived = line.micros;
        } else if (line.what == "sent") {
            if (afterWriteBlock && replied) {
                turnarounds.push_back(line.micros - lastReceived);
            }
            afterWriteBlock = line.bytes.rfind(" 53 32 ", 0) == 0;
            replied = false;
        }
    }
    return turnarounds;
}

std::int64_t Percentile(std::vector<std::int64_t> values, double fraction)
{
    if (values.empty()) {
        return 0;
    }
    const double rank = std::ceil(fraction * static_cast<double>(values.size()));
    const std::size_t index = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
    return values[index];
}

} // namespace tavex::bench
