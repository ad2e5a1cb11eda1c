#include "serial/win32/dcb_settings.h"

#include <array>

namespace tavex {

namespace {

// Indexed by the neutral values.
constexpr std::array<BYTE, 5> kParities = {NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY};
constexpr std::array<BYTE, 3> kStopBits = {ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS};

} // namespace

void ApplyDcbSettings(DCB& dcb, const LineSettings& settings)
{
    dcb.BaudRate = static_cast<DWORD>(settings.baudRate);
    dcb.ByteSize = settings.dataBits;
    dcb.Parity = kParities[static_cast<std::size_t>(settings.parity)];
    dcb.StopBits = kStopBits[static_cast<std::size_t>(settings.stopBits)];
    dcb.fParity = settings.parity == Parity::kNone ? FALSE : TRUE;
}

} // namespace tavex
