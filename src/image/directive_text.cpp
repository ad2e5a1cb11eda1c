#include "image/directive_text.h"

#include <limits>

namespace tavex::directive_text {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string RemoveAll(std::string_view text, std::string_view word)
{
    std::string rest;
    std::size_t from = 0;
    for (std::size_t found = text.find(word); found != std::string_view::npos; found = text.find(word, from)) {
        rest.append(text.substr(from, found - from));
        from = found + word.size();
    }
    rest.append(text.substr(from));
    return rest;
}

std::int32_t DecimalValue(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Saturates at one past the 32-bit range, so that a huge number is
    // refused as out of range rather than read as a small one.
    constexpr std::int64_t kCeiling = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kCeiling) {
            magnitude = kCeiling;
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-magnitude);
    }
    return magnitude >= kCeiling ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(magnitude);
}

} // namespace tavex::directive_text
