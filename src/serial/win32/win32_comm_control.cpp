// The control's properties: checked when written, kept while the port is
// closed, passed on to an open port at once.

#include "serial/win32/win32_comm_control.h"

#include "serial/win32/com_device_path.h"
#include "serial/property_rules.h"

#include <utility>

namespace tavex {

Win32CommControl::Win32CommControl()
{
    if (!window_.Valid()) {
        throw CommControlError("the control's message window could not be made: " +
                               SystemErrorText(GetLastError()));
    }
}

Win32CommControl::Win32CommControl(std::string devicePath) : Win32CommControl()
{
    devicePath_ = devicePath.empty() ? std::string() : NormaliseDevicePath(devicePath);
}

Win32CommControl::~Win32CommControl() { ClosePort(); }

void Win32CommControl::SetDevicePath(const std::string& devicePath)
{
    RequireClosed("the device path");
    devicePath_ = devicePath.empty() ? std::string() : NormaliseDevicePath(devicePath);
}

std::string Win32CommControl::DeviceName() const
{
    return devicePath_.empty() ? ComDevicePath(commPort_) : devicePath_;
}

PortState Win32CommControl::State() const { return PortState{lineSettings_, handshaking_, rtsEnable_, dtrEnable_}; }

void Win32CommControl::RequireOpen(const char* operation) const
{
    if (!IsOpen()) {
        throw CommControlError(std::string(operation) + " is valid only while the port is open");
    }
}

void Win32CommControl::RequireClosed(const char* property) const
{
    if (IsOpen()) {
        throw CommControlError(std::string(property) + " cannot be changed while the port is open");
    }
}

void Win32CommControl::SetCommPort(std::int16_t number)
{
    RequireComNumber(number);
    RequireClosed("CommPort");
    commPort_ = number;
}

void Win32CommControl::SetSettings(const std::string& settings)
{
    const std::optional<LineSettings> parsed = ParseLineSettings(settings);
    if (!parsed) {
        throw CommControlError("invalid Settings \"" + settings + "\"");
    }
    if (IsOpen()) {
        PortState state = State();
        state.line = *parsed;
        if (const DWORD error = ApplyPortState(port_, state); error != 0) {
            ApplyPortState(port_, State());
            throw CommControlError("the port refused Settings \"" + settings + "\": " + SystemErrorText(error));
        }
    }
    lineSettings_ = *parsed;
}

void Win32CommControl::SetHandshaking(std::int32_t value)
{
    RequireHandshaking(value);
    if (IsOpen()) {
        PortState state = State();
        state.handshaking = value;
        if (const DWORD error = ApplyPortState(port_, state); error != 0) {
            ApplyPortState(port_, State());
            throw CommControlError("the port refused Handshaking " + std::to_string(value) + ": " +
                                   SystemErrorText(error));
        }
    }
    handshaking_ = value;
    if (IsOpen()) {
        ApplyModemLine(ModemLine::kRts, rtsEnable_);  // RTS is ours again once RTS/CTS is off
    }
}

// The driver's queues get these sizes when the port opens.
void Win32CommControl::SetInBufferSize(std::int16_t size)
{
    RequirePositive(size, "InBufferSize");
    RequireClosed("InBufferSize");
    inBufferSize_ = size;
}

void Win32CommControl::SetOutBufferSize(std::int16_t size)
{
    RequirePositive(size, "OutBufferSize");
    RequireClosed("OutBufferSize");
    outBufferSize_ = size;
}

void Win32CommControl::SetRThreshold(std::int16_t count)
{
    RequireNotNegative(count, "RThreshold");
    rThreshold_ = count;
}

void Win32CommControl::SetInputLen(std::int16_t count)
{
    RequireNotNegative(count, "InputLen");
    inputLen_ = count;
}

void Win32CommControl::SetSThreshold(std::int16_t count)
{
    RequireNotNegative(count, "SThreshold");
    sThreshold_ = count;
}

void Win32CommControl::SetEOFEnable(bool enable) { eofEnable_ = enable; }

void Win32CommControl::SetNullDiscard(bool discard) { nullDiscard_ = discard; }

// Kept while closed, as the adapter writes every property before the port
// opens; the line follows when it does.
void Win32CommControl::SetRTSEnable(bool assert)
{
    rtsEnable_ = assert;
    if (IsOpen()) {
        ApplyModemLine(ModemLine::kRts, assert);
    }
}

void Win32CommControl::SetDTREnable(bool assert)
{
    dtrEnable_ = assert;
    if (IsOpen()) {
        ApplyModemLine(ModemLine::kDtr, assert);
    }
}

// The DCB leaves parity errors unreplaced (the bytes are handed on as they
// came), so the character is only checked.
void Win32CommControl::SetParityReplace(const std::string& replacement)
{
    RequireParityReplace(replacement);
}

// Input hands over the bytes unchanged in both modes: text mode has nothing
// to convert in a std::vector of bytes.
void Win32CommControl::SetInputMode(std::int32_t mode)
{
    RequireInputMode(mode);
}

std::int16_t Win32CommControl::GetCommEvent() { return notifier_.LastEvent(); }

void Win32CommControl::SetOnComm(std::function<void()> onComm) { notifier_.SetOnComm(std::move(onComm)); }

} // namespace tavex
