#include "serial/qt/line_settings.h"

#include "serial/settings_fields.h"

#include <array>
#include <utility>

namespace tavex {

namespace {

constexpr std::array<std::pair<std::string_view, QSerialPort::Parity>, 10> kParities = {{
    {"E", QSerialPort::EvenParity},  {"e", QSerialPort::EvenParity},
    {"M", QSerialPort::MarkParity},  {"m", QSerialPort::MarkParity},
    {"N", QSerialPort::NoParity},    {"n", QSerialPort::NoParity},
    {"O", QSerialPort::OddParity},   {"o", QSerialPort::OddParity},
    {"S", QSerialPort::SpaceParity}, {"s", QSerialPort::SpaceParity},
}};

constexpr std::array<std::pair<std::string_view, QSerialPort::DataBits>, 4> kDataBits = {{
    {"5", QSerialPort::Data5},
    {"6", QSerialPort::Data6},
    {"7", QSerialPort::Data7},
    {"8", QSerialPort::Data8},
}};

// Qt on Unix takes 1.5 stop bits without complaint but sets one, as termios
// has no 1.5; only Windows really sends them.
#ifdef Q_OS_WIN
constexpr std::array<std::pair<std::string_view, QSerialPort::StopBits>, 3> kStopBits = {{
    {"1", QSerialPort::OneStop},
    {"1.5", QSerialPort::OneAndHalfStop},
    {"2", QSerialPort::TwoStop},
}};
#else
constexpr std::array<std::pair<std::string_view, QSerialPort::StopBits>, 2> kStopBits = {{
    {"1", QSerialPort::OneStop},
    {"2", QSerialPort::TwoStop},
}};
#endif

} // namespace

std::optional<LineSettings> ParseLineSettings(std::string_view text)
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
    return LineSettings{fields->baudRate, *parity, *dataBits, *stopBits};
}

} // namespace tavex
