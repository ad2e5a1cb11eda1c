#include "serial/win32/dcb_settings.h"

#include "serial/settings_fields.h"

#include <array>
#include <utility>

namespace tavex {

namespace {

constexpr std::array<std::pair<std::string_view, BYTE>, 10> kParities = {{
    {"E", EVENPARITY},  {"e", EVENPARITY},  {"M", MARKPARITY}, {"m", MARKPARITY}, {"N", NOPARITY},
    {"n", NOPARITY},    {"O", ODDPARITY},   {"o", ODDPARITY},  {"S", SPACEPARITY}, {"s", SPACEPARITY},
}};

constexpr std::array<std::pair<std::string_view, BYTE>, 4> kDataBits = {{
    {"5", 5},
    {"6", 6},
    {"7", 7},
    {"8", 8},
}};

constexpr std::array<std::pair<std::string_view, BYTE>, 3> kStopBits = {{
    {"1", ONESTOPBIT},
    {"1.5", ONE5STOPBITS},
    {"2", TWOSTOPBITS},
}};

} // namespace

std::optional<DcbSettings> ParseDcbSettings(std::string_view text)
{
    const std::optional<SettingsFields> fields = SplitSettings(text);
    if (!fields) {
        return std::nullopt;
    }
    const auto parity = LookupSetting(kParities, fields->parity);
    const auto dataBits = LookupSetting(kDataBits, fields->dataBits);
    const auto stopBits = LookupSetting(kStopBits, fields->stopBits);
    if (!parity || !dataBits || !stopBits) {
        return std::nullopt;
    }
    return DcbSettings{static_cast<DWORD>(fields->baudRate), *parity, *dataBits, *stopBits};
}

void ApplyDcbSettings(DCB& dcb, const DcbSettings& settings)
{
    dcb.BaudRate = settings.baudRate;
    dcb.ByteSize = settings.dataBits;
    dcb.Parity = settings.parity;
    dcb.StopBits = settings.stopBits;
    dcb.fParity = settings.parity == NOPARITY ? FALSE : TRUE;
}

std::chrono::microseconds WireTime(std::size_t bytes, const DcbSettings& settings)
{
    unsigned stopHalfBits = 2;
    if (settings.stopBits == TWOSTOPBITS) {
        stopHalfBits = 4;
    } else if (settings.stopBits == ONE5STOPBITS) {
        stopHalfBits = 3;
    }
    const CharacterFrame frame{settings.baudRate, settings.dataBits, settings.parity != NOPARITY, stopHalfBits};
    return WireTime(bytes, frame);
}

} // namespace tavex
