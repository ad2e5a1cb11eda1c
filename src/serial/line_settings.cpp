#include "serial/line_settings.h"

#include <array>
#include <charconv>
#include <utility>

namespace tavex {

namespace {

template <typename Value, std::size_t N>
using Choices = std::array<std::pair<std::string_view, Value>, N>;

constexpr Choices<Parity, 10> kParities = {{
    {"E", Parity::kEven},  {"e", Parity::kEven},  {"M", Parity::kMark}, {"m", Parity::kMark},
    {"N", Parity::kNone},  {"n", Parity::kNone},  {"O", Parity::kOdd},  {"o", Parity::kOdd},
    {"S", Parity::kSpace}, {"s", Parity::kSpace},
}};

constexpr Choices<std::uint8_t, 4> kDataBits = {{{"5", 5}, {"6", 6}, {"7", 7}, {"8", 8}}};

constexpr Choices<StopBits, 3> kStopBits = {{
    {"1", StopBits::kOne},
    {"1.5", StopBits::kOneAndHalf},
    {"2", StopBits::kTwo},
}};

// Stop bits in half bits: 1.5 are 3.
constexpr std::array<unsigned, 3> kStopHalfBits = {2, 3, 4};

constexpr std::uint64_t kMicrosPerSecond = 1'000'000;

template <typename Value, std::size_t N>
std::optional<Value> Lookup(const Choices<Value, N>& choices, std::string_view key)
{
    for (const auto& [name, value] : choices) {
        if (name == key) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> ParseBaudRate(std::string_view text)
{
    std::int32_t rate = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, rate);
    if (text.empty() || error != std::errc() || stop != end || rate <= 0) {
        return std::nullopt;
    }
    return rate;
}

// Exactly four fields, or none.
std::optional<std::array<std::string_view, 4>> SplitFields(std::string_view text)
{
    std::array<std::string_view, 4> fields;
    for (std::size_t index = 0; index < fields.size(); ++index) {
        const std::size_t comma = text.find(',');
        const bool last = index + 1 == fields.size();
        if (last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        fields[index] = text.substr(0, comma);
        text.remove_prefix(last ? text.size() : comma + 1);
    }
    return fields;
}

} // namespace

std::optional<LineSettings> ParseLineSettings(std::string_view text)
{
    const auto fields = SplitFields(text);
    if (!fields) {
        return std::nullopt;
    }
    const auto baudRate = ParseBaudRate((*fields)[0]);
    const auto parity = Lookup(kParities, (*fields)[1]);
    const auto dataBits = Lookup(kDataBits, (*fields)[2]);
    const auto stopBits = Lookup(kStopBits, (*fields)[3]);
    if (!baudRate || !parity || !dataBits || !stopBits) {
        return std::nullopt;
    }
    return LineSettings{*baudRate, *parity, *dataBits, *stopBits};
}

std::chrono::microseconds WireTime(std::size_t bytes, const LineSettings& settings)
{
    if (settings.baudRate <= 0) {
        return std::chrono::microseconds(0);
    }
    const std::uint64_t parityBits = settings.parity == Parity::kNone ? 0 : 1;
    const std::uint64_t halfBitsPerCharacter =
        2 * (1 + std::uint64_t{settings.dataBits} + parityBits) + kStopHalfBits[static_cast<std::size_t>(settings.stopBits)];
    const std::uint64_t halfBits = bytes * halfBitsPerCharacter;
    const std::uint64_t halfBitsPerSecond = 2 * static_cast<std::uint64_t>(settings.baudRate);
    const std::uint64_t micros = (halfBits * kMicrosPerSecond + halfBitsPerSecond - 1) / halfBitsPerSecond;
    return std::chrono::microseconds(static_cast<std::chrono::microseconds::rep>(micros));
}

} // namespace tavex
