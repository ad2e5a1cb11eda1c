#include "serial/line_free_time.h"

#include <algorithm>

namespace tavex {

namespace {

constexpr std::uint64_t kMicrosPerSecond = 1'000'000;

} // namespace

std::chrono::microseconds WireTime(std::size_t bytes, const CharacterFrame& frame)
{
    if (frame.baudRate <= 0) {
        return std::chrono::microseconds(0);
    }
    const std::uint64_t halfBitsPerCharacter =
        2 * (1 + std::uint64_t{frame.dataBits} + (frame.parity ? 1U : 0U)) + frame.stopHalfBits;
    const std::uint64_t halfBits = bytes * halfBitsPerCharacter;
    const std::uint64_t halfBitsPerSecond = 2 * static_cast<std::uint64_t>(frame.baudRate);
    const std::uint64_t micros = (halfBits * kMicrosPerSecond + halfBitsPerSecond - 1) / halfBitsPerSecond;
    return std::chrono::microseconds(static_cast<std::chrono::microseconds::rep>(micros));
}

void LineFreeTime::WrittenFor(std::chrono::microseconds wireTime, Clock::time_point now)
{
    freeAt_ = std::max(freeAt_, now + wireTime);
}

} // namespace tavex
