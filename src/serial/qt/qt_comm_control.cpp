// The control's properties: checked when written, kept while the port is
// closed, passed on to an open port at once.

#include "serial/qt/qt_comm_control.h"

#include "serial/qt/com_device_map.h"
#include "serial/property_rules.h"

#include <utility>

namespace tavex {

QtCommControl::QtCommControl()
{
    ConnectPort();
    ApplyLineSettings(port_, lineSettings_);
    port_.setFlowControl(QSerialPort::NoFlowControl);
}

QtCommControl::QtCommControl(QString devicePath) : QtCommControl()
{
    devicePath_ = std::move(devicePath);
}

QtCommControl::~QtCommControl()
{
    disconnect(&port_, nullptr, this, nullptr);
    ClosePort();
}

void QtCommControl::SetDevicePath(const QString& devicePath)
{
    RequireClosed("the device path");
    devicePath_ = devicePath;
}

QString QtCommControl::DeviceName() const
{
    return devicePath_.isEmpty() ? ComDeviceName(commPort_) : devicePath_;
}

void QtCommControl::RequireOpen(const char* operation) const
{
    if (!port_.isOpen()) {
        throw CommControlError(std::string(operation) + " is valid only while the port is open");
    }
}

void QtCommControl::RequireClosed(const char* property) const
{
    if (port_.isOpen()) {
        throw CommControlError(std::string(property) + " cannot be changed while the port is open");
    }
}

void QtCommControl::SetCommPort(std::int16_t number)
{
    RequireComNumber(number);
    RequireClosed("CommPort");
    commPort_ = number;
}

void QtCommControl::SetSettings(const std::string& settings)
{
    const std::optional<LineSettings> parsed = ParseLineSettings(settings);
    if (!parsed || !PortCanRun(*parsed)) {
        throw CommControlError("invalid Settings \"" + settings + "\"");
    }
    if (!ApplyLineSettings(port_, *parsed)) {
        const std::string reason = port_.errorString().toStdString();
        port_.clearError();
        ApplyLineSettings(port_, lineSettings_);
        throw CommControlError("the port refused Settings \"" + settings + "\": " + reason);
    }
    lineSettings_ = *parsed;
}

void QtCommControl::SetHandshaking(std::int32_t value)
{
    RequireHandshaking(value);
    const std::optional<QSerialPort::FlowControl> flowControl = FlowControlFor(value);
    if (!port_.setFlowControl(*flowControl)) {
        const std::string reason = port_.errorString().toStdString();
        port_.clearError();
        throw CommControlError("the port refused Handshaking " + std::to_string(value) + ": " + reason);
    }
    if (port_.isOpen()) {
        ApplyModemLine(ModemLine::kRts, rtsEnable_);  // RTS is ours again once RTS/CTS is off
    }
}

// Qt's receive and transmit buffers grow as needed and never drop a byte,
// so the sizes bound nothing here; they are only checked.
void QtCommControl::SetInBufferSize(std::int16_t size)
{
    RequirePositive(size, "InBufferSize");
    RequireClosed("InBufferSize");
}

void QtCommControl::SetOutBufferSize(std::int16_t size)
{
    RequirePositive(size, "OutBufferSize");
    RequireClosed("OutBufferSize");
}

void QtCommControl::SetRThreshold(std::int16_t count)
{
    RequireNotNegative(count, "RThreshold");
    rThreshold_ = count;
}

void QtCommControl::SetInputLen(std::int16_t count)
{
    RequireNotNegative(count, "InputLen");
    inputLen_ = count;
}

void QtCommControl::SetSThreshold(std::int16_t count)
{
    RequireNotNegative(count, "SThreshold");
    sThreshold_ = count;
}

void QtCommControl::SetEOFEnable(bool enable) { eofEnable_ = enable; }

void QtCommControl::SetNullDiscard(bool discard) { nullDiscard_ = discard; }

// Kept while closed, as the adapter writes every property before the port
// opens; the line follows when it does.
void QtCommControl::SetRTSEnable(bool assert)
{
    rtsEnable_ = assert;
    if (port_.isOpen()) {
        ApplyModemLine(ModemLine::kRts, assert);
    }
}

void QtCommControl::SetDTREnable(bool assert)
{
    dtrEnable_ = assert;
    if (port_.isOpen()) {
        ApplyModemLine(ModemLine::kDtr, assert);
    }
}

// Qt reports no parity error for a single byte, so there is never a byte to
// replace; the character is only checked.
void QtCommControl::SetParityReplace(const std::string& replacement)
{
    RequireParityReplace(replacement);
}

// Input hands over the bytes unchanged in both modes: text mode has nothing
// to convert in a std::vector of bytes.
void QtCommControl::SetInputMode(std::int32_t mode)
{
    RequireInputMode(mode);
}

std::int16_t QtCommControl::GetCommEvent() { return notifier_.LastEvent(); }

void QtCommControl::SetOnComm(std::function<void()> onComm) { notifier_.SetOnComm(std::move(onComm)); }

} // namespace tavex
