#pragma once

// The line settings handed to the comm control, as indexes into the fixed
// lists the program offers.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavex {

struct PortSettings {
    std::int32_t portIndex = 0;       // COM number minus 1
    std::int32_t baudIndex = 6;       // 9600
    std::int32_t parityIndex = 2;     // "N"
    std::int32_t dataBitsIndex = 4;   // "8"
    std::int32_t stopBitsIndex = 0;   // "1"
    std::int32_t handshakeIndex = 0;  // none
    std::int16_t inBufferSize = 1024;
    std::int16_t rThreshold = 0;
    std::int16_t inputLen = 0;
    std::int16_t outBufferSize = 512;
    std::int16_t sThreshold = 0;
    bool eofEnable = false;
    bool nullDiscard = false;
    bool rtsEnable = false;
    bool dtrEnable = true;
    std::string parityReplace = "?";
    std::int32_t inputModeIndex = 0;  // text
};

namespace port_lists {
inline constexpr int kPortCount = 16;
inline constexpr std::array<std::string_view, 16> kBaudRates = {
    "110",   "300",   "600",   "1200",  "2400",  "4800",   "9600",   "14400",
    "19200", "28800", "38400", "56000", "57600", "115200", "128000", "256000"};
inline constexpr std::array<std::string_view, 5> kParityLetters = {"E", "M", "N", "O", "S"};
inline constexpr std::array<std::string_view, 5> kDataBits = {"4", "5", "6", "7", "8"};
inline constexpr std::array<std::string_view, 3> kStopBits = {"1", "1.5", "2"};
inline constexpr std::int32_t kHandshakeRts = 2;
inline constexpr std::int32_t kInputModeBinary = 1;
} // namespace port_lists

inline constexpr std::int32_t kBaudIndex19200 = 8;
inline constexpr std::int32_t kBaudIndex57600 = 12;

// The settings the main window uses: 19200,N,8,1 with RTS handshaking,
// binary input and a notification for every byte that arrives.
PortSettings MainWindowPortSettings();

// "baud,parity,data bits,stop bits", e.g. "19200,N,8,1". An index outside its
// list gives an empty item, which the control refuses.
std::string LineSettingsString(const PortSettings& settings);

// The COM port list's entry for an index: "1" to "16".
std::string PortListEntry(std::int32_t portIndex);

} // namespace tavex
