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

// Indexed by the neutral values.
constexpr std::array<QSerialPort::Parity, 5> kParities = {
    QSerialPort::NoParity, QSerialPort::OddParity, QSerialPort::EvenParity, QSerialPort::MarkParity,
    QSerialPort::SpaceParity};
constexpr std::array<QSerialPort::StopBits, 3> kStopBits = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                             QSerialPort::TwoStop};

} // namespace

bool PortCanRun(const LineSettings& settings)
{
#ifdef Q_OS_WIN
    (void)settings;
    return true;
#else
    return settings.stopBits != StopBits::kOneAndHalf;
#endif
}

bool ApplyLineSettings(QSerialPort& port, const LineSettings& settings)
{
    return port.setBaudRate(settings.baudRate) && port.setParity(kParities[static_cast<std::size_t>(settings.parity)]) &&
           port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) &&
           port.setStopBits(kStopBits[static_cast<std::size_t>(settings.stopBits)]);
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
