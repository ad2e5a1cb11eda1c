#pragma once

// The Settings string, "baud,parity,data bits,stop bits" (e.g. "19200,N,8,1"),
// taken apart. Each platform looks up the letters and numbers in what its
// own port can run.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace tavex {

struct SettingsFields {
    std::int32_t baudRate = 0;
    std::string_view parity;
    std::string_view dataBits;
    std::string_view stopBits;
};

// Empty unless there are exactly four comma-separated fields and the first
// is a positive decimal number.
std::optional<SettingsFields> SplitSettings(std::string_view text);

// The value a key names in a short table of choices, or empty.
template <typename Value, std::size_t N>
std::optional<Value> LookupSetting(const std::array<std::pair<std::string_view, Value>, N>& choices,
                                   std::string_view key)
{
    for (const auto& [name, value] : choices) {
        if (name == key) {
            return value;
        }
    }
    return std::nullopt;
}

} // namespace tavex
