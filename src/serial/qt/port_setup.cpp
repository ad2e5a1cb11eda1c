#include "serial/qt/port_setup.h"

#include <array>

namespace tavex {

namespace {

// Qt cannot combine RTS/CTS with XON/XOFF; for both, RTS/CTS alone is kept,
// as it is the one that really holds the sender back.
constexpr std::array<QSerialPort::FlowControl, 4> kFlowControls = {
    QSerialPort::NoFlowControl,    // 0 none
    QSerialPort::SoftwareControl,  // 1 XON/XOFF
    QSerialPort::HardwareControl,  // 2 RTS/CTS
    QSerialPort::HardwareControl,  // 3 RTS/CTS and XON/XOFF
};

} // namespace

bool ApplyLineSettings(QSerialPort& port, const LineSettings& settings)
{
    return port.setBaudRate(settings.baudRate) && port.setParity(settings.parity) &&
           port.setDataBits(settings.dataBits) && port.setStopBits(settings.stopBits);
}

std::optional<QSerialPort::FlowControl> FlowControlFor(std::int32_t handshaking)
{
    if (handshaking < 0 || static_cast<std::size_t>(handshaking) >= kFlowControls.size()) {
        return std::nullopt;
    }
    return kFlowControls[static_cast<std::size_t>(handshaking)];
}

bool SetModemLine(QSerialPort& port, ModemLine line, bool assert)
{
    const bool done = line == ModemLine::kDtr ? port.setDataTerminalReady(assert) : port.setRequestToSend(assert);
    if (done) {
        return true;
    }
    const bool unsupported = port.error() == QSerialPort::UnsupportedOperationError;
    port.clearError();
    return unsupported;
}

} // namespace tavex
