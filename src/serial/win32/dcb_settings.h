#pragma once

// The Settings string, "baud,parity,data bits,stop bits" (e.g. "19200,N,8,1"),
// as the values a Win32 DCB takes.

#include "platform/windows_api.h"
#include "serial/line_free_time.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>

namespace tavex {

struct DcbSettings {
    DWORD baudRate = 9600;
    BYTE parity = NOPARITY;      // NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY
    BYTE dataBits = 8;           // 5 to 8
    BYTE stopBits = ONESTOPBIT;  // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS

    friend bool operator==(const DcbSettings&, const DcbSettings&) = default;
};

// Empty when the string is not one a COM port can run: a baud rate that is
// not a positive number, a parity letter other than E, M, N, O, S (either
// case), data bits outside 5 to 8, stop bits other than 1, 1.5 and 2.
std::optional<DcbSettings> ParseDcbSettings(std::string_view text);

// Writes the line settings into a DCB, leaving its other fields alone.
void ApplyDcbSettings(DCB& dcb, const DcbSettings& settings);

// The time `bytes` characters take on a line with these settings.
std::chrono::microseconds WireTime(std::size_t bytes, const DcbSettings& settings);

} // namespace tavex
