#pragma once

// One pass over a whole image, line by line, exactly as a download to a
// keyboard of a given hardware version would take it, without a keyboard.

#include "image/image_cursor.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavex {

struct ImageStatistics {
    std::uint64_t flashSectors = 0;  // C1 records
    std::uint64_t writeBlocks = 0;   // S2 records
    std::uint64_t endOfTables = 0;   // S8 records
    std::uint64_t dataBytes = 0;     // block data of all S2 records
    std::optional<std::uint32_t> lowestBlockAddress;
    std::optional<std::uint32_t> highestBlockAddress;
    std::int32_t lines = 0;
    std::uint64_t bytesRead = 0;

    std::uint64_t Records() const { return flashSectors + writeBlocks + endOfTables; }
};

struct ScanPass {
    bool passes = false;
    std::string message;  // the first fault, as a download would show it
    ImageStatistics statistics;
    std::uint64_t sent = 0;     // records a download would send
    std::uint64_t dropped = 0;  // records read and verified but not sent
    std::vector<std::uint8_t> hardwareList;  // an .s20 image's "#hardware" list
};

// The .s19 machine accepts hardware versions 0 and 1 only.
ScanPass ScanS19(ImageCursor& cursor, std::int32_t keyboardHardware);

// keyboardHardware -1 stands for a keyboard no list names; such a pass stops
// at the image's "#hardware" line with the list read.
ScanPass ScanS20(ImageCursor& cursor, std::int32_t keyboardHardware);

} // namespace tavex
