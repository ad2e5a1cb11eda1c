#pragma once

// Frames as the host sends them, with their count and checksum worked out.

#include "protocol/bootloader_frames.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tavex::test {

using ByteVector = std::vector<std::uint8_t>;

inline ByteVector FrameBytes(const std::array<std::uint8_t, 2>& command, const ByteVector& body)
{
    ByteVector countAndBody = {static_cast<std::uint8_t>(body.size() + 1)};
    countAndBody.insert(countAndBody.end(), body.begin(), body.end());
    ByteVector frame(command.begin(), command.end());
    frame.insert(frame.end(), countAndBody.begin(), countAndBody.end());
    frame.push_back(bootloader::FrameChecksum(countAndBody));
    return frame;
}

inline ByteVector PingFrame() { return FrameBytes(bootloader::kPing, {}); }
inline ByteVector ReadIdFrame() { return FrameBytes(bootloader::kReadId, {}); }
inline ByteVector FlashSectorFrame(std::uint8_t sector)
{
    return FrameBytes(bootloader::kFlashSector, {0xCA, 0xC5, sector});
}
inline ByteVector WriteBlockFrame(std::uint32_t address, const ByteVector& data)
{
    ByteVector body = {static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 8),
                       static_cast<std::uint8_t>(address)};
    body.insert(body.end(), data.begin(), data.end());
    return FrameBytes(bootloader::kWriteBlock, body);
}
inline ByteVector EndOfTableFrame() { return FrameBytes(bootloader::kEndOfTable, {0xFF, 0xFF, 0xFF}); }

inline ByteVector Joined(std::initializer_list<ByteVector> frames)
{
    ByteVector joined;
    for (const ByteVector& frame : frames) {
        joined.insert(joined.end(), frame.begin(), frame.end());
    }
    return joined;
}

inline ByteVector Text(const char* text)
{
    ByteVector bytes;
    for (; *text != '\0'; ++text) {
        bytes.push_back(static_cast<std::uint8_t>(*text));
    }
    return bytes;
}

} // namespace tavex::test
