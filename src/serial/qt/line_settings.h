#pragma once

// The Settings string, "baud,parity,data bits,stop bits" (e.g. "19200,N,8,1"),
// as the values QSerialPort takes.

#include <QSerialPort>

#include <optional>
#include <string_view>

namespace tavex {

struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Empty when the string is not one this port can run: a baud rate that is not
// a positive number, a parity letter other than E, M, N, O, S, data bits
// outside 5 to 8, stop bits other than 1 and 2 (and 1.5 on Windows, the only
// system where Qt sets it).
std::optional<LineSettings> ParseLineSettings(std::string_view text);

} // namespace tavex
