#pragma once

// The serial port's system calls on Qt's QSerialPort (and, on Linux, the
// driver's own requests beside it). Its signals come from the Qt event loop
// of the thread that made it.

#include "serial/port_backend.h"
#include "serial/posix/line_errors.h"

#include <QObject>
#include <QSerialPort>

#include <optional>

namespace tavex {

class QtPortBackend : public QObject, public PortBackend {
public:
    QtPortBackend();
    ~QtPortBackend() override;

    std::string ComDevice(std::int16_t comNumber) const override;
    bool CanRun(const LineSettings& settings) const override;
    void Open(const std::string& device, const PortState& state, std::int16_t inBufferSize,
              std::int16_t outBufferSize) override;
    void Close() override;
    bool IsOpen() const override { return port_.isOpen(); }
    std::optional<std::string> Configure(const PortState& state) override;
    std::optional<std::string> SetModemLine(ModemLine line, bool assert) override;
    std::optional<std::string> Write(const std::vector<std::uint8_t>& bytes) override;
    std::size_t BytesHeldForWriting() const override;
    bool OutputQueued() override;
    void DropOutput() override;
    Arrived TakeArrived() override;
    std::optional<std::string> DropInput() override;
    bool RequestArrivedTurn() override;
    bool RequestDeliveryTurn() override;

private:
    SystemReason OpenFailure(const std::string& device);
    void Claim(const std::string& device);
    void CheckLineErrors(Arrived& arrived);
    void OnPortError(QSerialPort::SerialPortError error);

    QSerialPort port_{this};
    std::optional<LineErrorCounts> lineErrors_;  // empty where the driver keeps none
    std::size_t unreadToDrop_ = 0;  // dropped in the driver by DropInput, not read yet
    bool lost_ = false;
};

} // namespace tavex
