#pragma once

#include "image/byte_source.h"

#include <array>
#include <cstdint>
#include <string>

namespace tavex {

// Where a download stands in its image file. Counters are 64-bit so that no
// file length can wrap them; the firmware images themselves are far smaller.
struct ImageCursor {
    IByteSource* imageFile = nullptr;  // not owned
    std::uint64_t fileLength = 0;      // taken when the file was opened
    std::uint64_t bytesRead = 0;       // grows by every byte consumed
    std::int32_t lineNumber = 0;       // the line being read; 0 before the first
    std::string fileName;              // as the messages quote it
};

inline constexpr std::size_t kRecordBufferSize = 44;

// The record line last read, decoded in place, and the fields taken from it.
struct RecordFields {
    std::array<std::uint8_t, kRecordBufferSize> recordBuffer{};
    std::size_t recordData = 0;      // position in recordBuffer of the block data
    std::int32_t recordLength = 0;   // the length byte, then the count of block data
    std::uint32_t blockAddress = 0;  // target of a write-block, 24 bits
    std::int32_t sectorNumber = 0;   // sector of a flash-sector, 0 to 255
};

} // namespace tavex
