#pragma once

// The Settings string, "baud,parity,data bits,stop bits" (e.g. "19200,N,8,1"),
// read once into values of its own; each platform's port maps them onto
// what its system takes.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tavex {

enum class Parity : std::uint8_t { kNone, kOdd, kEven, kMark, kSpace };
enum class StopBits : std::uint8_t { kOne, kOneAndHalf, kTwo };

struct LineSettings {
    std::int32_t baudRate = 9600;
    Parity parity = Parity::kNone;
    std::uint8_t dataBits = 8;  // 5 to 8
    StopBits stopBits = StopBits::kOne;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Empty unless the string has exactly four comma-separated fields: a
// positive decimal baud rate, a parity letter E, M, N, O or S (either case),
// data bits 5 to 8, stop bits 1, 1.5 or 2.
std::optional<LineSettings> ParseLineSettings(std::string_view text);

// The time `bytes` characters take on the line: a start bit, the data bits,
// a parity bit if there is one and the stop bits each, rounded up to the
// microsecond; zero for a baud rate that is not positive.
std::chrono::microseconds WireTime(std::size_t bytes, const LineSettings& settings);

} // namespace tavex
