#pragma once

// The bytes of the bootloader's conversation: the command codes, the replies
// it gives and their lengths.

#include <array>
#include <cstdint>

namespace tavex::bootloader {

inline constexpr std::array<std::uint8_t, 2> kPing = {'C', '0'};
inline constexpr std::array<std::uint8_t, 2> kFlashSector = {'C', '1'};
inline constexpr std::array<std::uint8_t, 2> kWriteBlock = {'S', '2'};
inline constexpr std::array<std::uint8_t, 2> kEndOfTable = {'S', '8'};
inline constexpr std::array<std::uint8_t, 2> kReadId = {'T', '7'};

// The two fixed bytes that precede the sector number in a flash-sector frame.
inline constexpr std::array<std::uint8_t, 2> kFlashSectorKey = {0xCA, 0xC5};

// The answer to PING: "Norwick KB1" LF "KBD" LF 00 50.
inline constexpr std::array<std::uint8_t, 18> kIdentification = {
    'N', 'o', 'r', 'w', 'i', 'c', 'k', ' ', 'K', 'B', '1', 0x0A, 'K', 'B', 'D', 0x0A, 0x00, 0x50};

inline constexpr std::size_t kStatusReplyLength = 2;    // "OK", "CE" or "FE"
inline constexpr std::size_t kKeyboardIdLength = 16;    // begins "KB"; byte 6 the hardware version
inline constexpr std::size_t kHardwareVersionIndex = 6;
inline constexpr std::size_t kDataReplyLength = 19;     // "DT", 16 data bytes, their exclusive-or

inline constexpr std::array<std::uint8_t, 2> kOk = {'O', 'K'};
inline constexpr std::array<std::uint8_t, 2> kCommunicationError = {'C', 'E'};
inline constexpr std::array<std::uint8_t, 2> kCommandError = {'F', 'E'};
inline constexpr std::array<std::uint8_t, 2> kKeyboardIdPrefix = {'K', 'B'};

// Ones' complement of the 8-bit sum of the count byte and the body.
template <class Bytes>
constexpr std::uint8_t FrameChecksum(const Bytes& countAndBody)
{
    std::uint8_t sum = 0;
    for (std::uint8_t byte : countAndBody) {
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    return static_cast<std::uint8_t>(~sum);
}

} // namespace tavex::bootloader
