#include "serial/qt/line_free_time.h"

namespace tavex {

std::chrono::microseconds WireTime(std::size_t bytes, const LineSettings& settings)
{
    unsigned stopHalfBits = 2;
    if (settings.stopBits == QSerialPort::TwoStop) {
        stopHalfBits = 4;
    } else if (settings.stopBits == QSerialPort::OneAndHalfStop) {
        stopHalfBits = 3;
    }
    const CharacterFrame frame{settings.baudRate, static_cast<unsigned>(settings.dataBits),
                               settings.parity != QSerialPort::NoParity, stopHalfBits};
    return WireTime(bytes, frame);
}

} // namespace tavex
