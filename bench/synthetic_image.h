#pragma once

// Images made up for measuring: write-block lines carrying 16 data bytes each,
// CR LF terminated, ending with one end-of-table line.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavex::bench {

inline constexpr std::size_t kBlockDataBytes = 16;

// Each line advances the address by kBlockDataBytes, wrapping at 24 bits.
// A byte's value depends on its address alone, so a wrapped image repeats
// earlier data exactly instead of contradicting it.
class WriteBlockLines {
public:
    // Appends whole lines while their text fits in `byteBudget` bytes;
    // answers how many bytes it appended.
    std::size_t AppendWithin(std::string& text, std::size_t byteBudget);

    static std::size_t LineSize();

private:
    void AppendLine(std::string& text);

    std::uint32_t nextAddress_ = 0;
};

std::string EndOfTableLine();

// An .s19 image of about `textBytes` bytes: write-block lines, then the end line.
std::string S19ImageText(std::size_t textBytes);

// An .s20 image of about `textBytes` bytes for hardware versions 1 and 2, the
// middle half of its write-block lines meant for version 2 only.
std::string S20ImageText(std::size_t textBytes);

} // namespace tavex::bench
