#include "serial/settings_fields.h"

#include <charconv>

namespace tavex {

namespace {

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

} // namespace

std::optional<SettingsFields> SplitSettings(std::string_view text)
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
    const std::optional<std::int32_t> baudRate = ParseBaudRate(fields[0]);
    if (!baudRate) {
        return std::nullopt;
    }
    return SettingsFields{*baudRate, fields[1], fields[2], fields[3]};
}

} // namespace tavex
