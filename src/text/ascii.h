#pragma once

#include <string>
#include <string_view>

namespace tavex {

// Lower-cases the ASCII letters only, so that the bytes of a multi-byte
// character are never touched.
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string AsciiLowerCase(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        c = AsciiLower(c);
    }
    return lower;
}

} // namespace tavex
