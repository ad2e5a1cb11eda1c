#include "serial/qt/line_free_time.h"

#include <algorithm>
#include <cstdint>

namespace tavex {

namespace {

constexpr std::uint64_t kMicrosPerSecond = 1'000'000;

// In half bits, so that the one and a half stop bits Windows sends count.
std::uint64_t HalfBitsPerCharacter(const LineSettings& settings)
{
    const std::uint64_t startAndData = 1 + static_cast<std::uint64_t>(settings.dataBits);
    const std::uint64_t parity = settings.parity == QSerialPort::NoParity ? 0 : 1;
    std::uint64_t stopHalfBits = 2;
    if (settings.stopBits == QSerialPort::TwoStop) {
        stopHalfBits = 4;
    } else if (settings.stopBits == QSerialPort::OneAndHalfStop) {
        stopHalfBits = 3;
    }
    return 2 * (startAndData + parity) + stopHalfBits;
}

} // namespace

std::chrono::microseconds WireTime(std::size_t bytes, const LineSettings& settings)
{
    if (settings.baudRate <= 0) {
        return std::chrono::microseconds(0);
    }
    const std::uint64_t halfBits = bytes * HalfBitsPerCharacter(settings);
    const std::uint64_t halfBitsPerSecond = 2 * static_cast<std::uint64_t>(settings.baudRate);
    const std::uint64_t micros = (halfBits * kMicrosPerSecond + halfBitsPerSecond - 1) / halfBitsPerSecond;
    return std::chrono::microseconds(static_cast<std::chrono::microseconds::rep>(micros));
}

void LineFreeTime::Written(std::size_t bytes, const LineSettings& settings, Clock::time_point now)
{
    freeAt_ = std::max(freeAt_, now + WireTime(bytes, settings));
}

} // namespace tavex
