// The control's properties: checked when written, kept while the port is
// closed, passed on to an open port at once.

#include "serial/comm_control_core.h"

#include "serial/property_rules.h"

#include <utility>

namespace tavex {

CommControl::CommControl(std::unique_ptr<PortBackend> backend)
    : backend_(std::move(backend)),
      events_([this](std::int16_t commEvent) { return StillDue(commEvent); },
              [this] { return backend_->RequestDeliveryTurn(); })
{
    backend_->SetListener(*this);
}

CommControl::~CommControl() { ClosePort(); }

void CommControl::SetDevicePath(const std::string& devicePath)
{
    RequireClosed("the device path");
    devicePath_ = devicePath.empty() ? std::string() : backend_->NormaliseDevice(devicePath);
}

std::string CommControl::DeviceName() const
{
    return devicePath_.empty() ? backend_->ComDevice(commPort_) : devicePath_;
}

PortState CommControl::State() const { return PortState{lineSettings_, handshaking_, rtsEnable_, dtrEnable_}; }

void CommControl::RequireOpen(const char* operation) const
{
    if (!IsOpen()) {
        throw CommControlError(std::string(operation) + " is valid only while the port is open");
    }
}

void CommControl::RequireClosed(const char* property) const
{
    if (IsOpen()) {
        throw CommControlError(std::string(property) + " cannot be changed while the port is open");
    }
}

void CommControl::SetCommPort(std::int16_t number)
{
    RequireComNumber(number);
    RequireClosed("CommPort");
    commPort_ = number;
}

// An open port refusing the new state keeps the old one.
void CommControl::Reconfigure(const PortState& state, const std::string& refused)
{
    if (!IsOpen()) {
        return;
    }
    if (const std::optional<std::string> reason = backend_->Configure(state)) {
        backend_->Configure(State());
        throw CommControlError("the port refused " + refused + ": " + *reason);
    }
}

void CommControl::SetSettings(const std::string& settings)
{
    const std::optional<LineSettings> parsed = ParseLineSettings(settings);
    if (!parsed || !backend_->CanRun(*parsed)) {
        throw CommControlError("invalid Settings \"" + settings + "\"");
    }
    PortState state = State();
    state.line = *parsed;
    Reconfigure(state, "Settings \"" + settings + "\"");
    lineSettings_ = *parsed;
}

void CommControl::SetHandshaking(std::int32_t value)
{
    RequireHandshaking(value);
    PortState state = State();
    state.handshaking = value;
    Reconfigure(state, "Handshaking " + std::to_string(value));
    handshaking_ = value;
    if (IsOpen()) {
        ApplyModemLine(ModemLine::kRts, rtsEnable_);  // RTS is ours again once RTS/CTS is off
    }
}

// The driver's queues get these sizes when the port opens, where the system
// has sizes to give.
void CommControl::SetInBufferSize(std::int16_t size)
{
    RequirePositive(size, "InBufferSize");
    RequireClosed("InBufferSize");
    inBufferSize_ = size;
}

void CommControl::SetOutBufferSize(std::int16_t size)
{
    RequirePositive(size, "OutBufferSize");
    RequireClosed("OutBufferSize");
    outBufferSize_ = size;
}

void CommControl::SetRThreshold(std::int16_t count)
{
    RequireNotNegative(count, "RThreshold");
    rThreshold_ = count;
}

void CommControl::SetInputLen(std::int16_t count)
{
    RequireNotNegative(count, "InputLen");
    inputLen_ = count;
}

void CommControl::SetSThreshold(std::int16_t count)
{
    RequireNotNegative(count, "SThreshold");
    sThreshold_ = count;
}

void CommControl::SetEOFEnable(bool enable) { eofEnable_ = enable; }

void CommControl::SetNullDiscard(bool discard) { nullDiscard_ = discard; }

// Kept while closed, as the adapter writes every property before the port
// opens; the line follows when it does.
void CommControl::SetRTSEnable(bool assert)
{
    rtsEnable_ = assert;
    if (IsOpen()) {
        ApplyModemLine(ModemLine::kRts, assert);
    }
}

void CommControl::SetDTREnable(bool assert)
{
    dtrEnable_ = assert;
    if (IsOpen()) {
        ApplyModemLine(ModemLine::kDtr, assert);
    }
}

// The bytes are handed on as they came, parity errors unreplaced, so the
// character is only checked.
void CommControl::SetParityReplace(const std::string& replacement) { RequireParityReplace(replacement); }

// Input hands over the bytes unchanged in both modes: text mode has nothing
// to convert in a std::vector of bytes.
void CommControl::SetInputMode(std::int32_t mode) { RequireInputMode(mode); }

std::int16_t CommControl::GetCommEvent() { return events_.LastEvent(); }

void CommControl::SetOnComm(std::function<void()> onComm) { events_.SetOnComm(std::move(onComm)); }

} // namespace tavex
