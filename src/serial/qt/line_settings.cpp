#include "serial/qt/line_settings.h"

#include <array>
#include <charconv>
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

template <typename Value, std::size_t N>
std::optional<Value> Lookup(const std::array<std::pair<std::string_view, Value>, N>& choices, std::string_view key)
{
    for (const auto& [name, value] : choices) {
        if (name == key) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<qint32> ParseBaudRate(std::string_view text)
{
    qint32 rate = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, rate);
    if (text.empty() || error != std::errc() || stop != end || rate <= 0) {
        return std::nullopt;
    }
    return rate;
}

// The comma-separated fields, or empty when there are not exactly four.
std::optional<std::array<std::string_view, 4>> SplitFields(std::string_view text)
{
    std::array<std::string_view, 4> fields;
    for (std::size_t index = 0; index < fields.size(); ++index) {
        const std::size_t comma = text.find(',');
        const bool last = index + 1 == fields.size();
        if (last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        fields[index] = text.substr(0, comma);
        text.remove_prefix(last ? text.size() : comma + 1);
    }
    return fields;
}

} // namespace

std::optional<LineSettings> ParseLineSettings(std::string_view text)
{
    const auto fields = SplitFields(text);
    if (!fields) {
        return std::nullopt;
    }
    const auto baudRate = ParseBaudRate((*fields)[0]);
    const auto parity = Lookup(kParities, (*fields)[1]);
    const auto dataBits = Lookup(kDataBits, (*fields)[2]);
    const auto stopBits = Lookup(kStopBits, (*fields)[3]);
    if (!baudRate || !parity || !dataBits || !stopBits) {
        return std::nullopt;
    }
    return LineSettings{*baudRate, *parity, *dataBits, *stopBits};
}

} // namespace tavex
