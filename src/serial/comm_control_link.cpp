// The control's link to the device: opening and closing the port, the bytes
// in both directions and the notifications they raise.

#include "serial/comm_control_core.h"

#include <chrono>
#include <thread>

namespace tavex {

namespace {

// A USB adapter's own buffer still sends after the driver's queue is empty.
constexpr std::chrono::milliseconds kAdapterMargin(50);
// Under RTS/CTS handshaking a keyboard that holds CTS would hold the close.
constexpr std::chrono::seconds kMostCloseWait(1);
constexpr std::chrono::milliseconds kOutputPoll(1);

} // namespace

bool RtsIsHandshake(std::int32_t handshaking) { return handshaking == 2 || handshaking == 3; }

bool CommControl::GetPortOpen() { return IsOpen(); }

void CommControl::SetPortOpen(bool open)
{
    if (open) {
        OpenPort();
    } else {
        ClosePort();
    }
}

void CommControl::OpenPort()
{
    if (IsOpen()) {
        throw CommControlError("the port is already open");
    }
    backend_->Open(DeviceName(), State(), inBufferSize_, outBufferSize_);
    lineFree_ = LineFreeTime();
    try {
        ApplyModemLines();
    } catch (const CommControlError&) {
        ShutPort();
        throw;
    }
}

// Whatever was written leaves first, at the session's speed.
void CommControl::ClosePort()
{
    if (!IsOpen()) {
        return;
    }
    AwaitOutputSent();
    ShutPort();
}

// Until nothing written waits before the wire and the last byte has had its
// time on it. What is still held after the longest wait is dropped: sent
// after the close it would go at the next user's settings, and the driver's
// close would wait for it.
void CommControl::AwaitOutputSent()
{
    using Clock = LineFreeTime::Clock;
    const Clock::time_point giveUp = Clock::now() + kMostCloseWait;
    const Clock::time_point lineFree = lineFree_.FreeAt() + kAdapterMargin;
    while (!lossPending_ && (backend_->OutputQueued() || Clock::now() < lineFree)) {
        if (Clock::now() >= giveUp) {
            backend_->DropOutput();
            return;
        }
        std::this_thread::sleep_for(kOutputPoll);
    }
}

void CommControl::ShutPort()
{
    backend_->Close();
    received_.Clear();
    events_.Clear();
    lossPending_ = false;
    sendEventDue_ = false;
}

void CommControl::ApplyModemLines()
{
    ApplyModemLine(ModemLine::kDtr, dtrEnable_);
    ApplyModemLine(ModemLine::kRts, rtsEnable_);
}

void CommControl::ApplyModemLine(ModemLine line, bool assert)
{
    // Under RTS/CTS handshaking the driver drives RTS.
    if (line == ModemLine::kRts && RtsIsHandshake(handshaking_)) {
        return;
    }
    if (const std::optional<std::string> reason = backend_->SetModemLine(line, assert)) {
        const std::string name = line == ModemLine::kDtr ? "DTR" : "RTS";
        throw CommControlError(name + " could not be set" + (reason->empty() ? "" : ": " + *reason));
    }
}

void CommControl::SetOutput(const std::vector<std::uint8_t>& bytes)
{
    RequireOpen("Output");
    if (bytes.empty()) {
        return;
    }
    if (const std::optional<std::string> reason = backend_->Write(bytes)) {
        throw CommControlError("Output could not be written: " + *reason);
    }
    lineFree_.Written(bytes.size(), lineSettings_, LineFreeTime::Clock::now());
    sendEventDue_ = sThreshold_ > 0;
    RaiseSendEventIfDue();
}

std::vector<std::uint8_t> CommControl::GetInput()
{
    RequireOpen("Input");
    TakeArrived();
    return received_.Take(static_cast<std::size_t>(inputLen_));
}

// What the driver holds first, then what the back end took from it before:
// both arrived before the call. Line errors and a loss seen are kept.
void CommControl::SetInBufferCount(std::int16_t count)
{
    RequireOpen("InBufferCount");
    if (count != 0) {
        throw CommControlError("InBufferCount can only be set to 0");
    }
    if (const std::optional<std::string> reason = backend_->DropInput()) {
        throw CommControlError("Input could not be dropped: " + *reason);
    }
    TakeArrived();
    received_.Clear();
}

// A loss seen inside a property call is acted on at the loop's next turn,
// never inside the call.
void CommControl::TakeArrived()
{
    const Arrived arrived = backend_->TakeArrived();
    for (const std::int16_t commEvent : arrived.lineErrors) {
        events_.Raise(commEvent);
    }
    if (received_.Append(arrived.bytes, nullDiscard_) && eofEnable_) {
        events_.Raise(comm_event::kEof);
    }
    if (arrived.lost && !lossPending_) {
        lossPending_ = true;
        backend_->RequestArrivedTurn();
    }
}

void CommControl::OnArrived()
{
    if (!IsOpen()) {
        return;  // news of a port closed meanwhile
    }
    TakeArrived();
    if (lossPending_) {
        ShutPort();  // nothing written can leave any more
        // The driver can no longer give the port's state: a line error the
        // protocol sees at once instead of waiting out its reply time-out.
        events_.Raise(comm_event::kDcb);
        return;
    }
    if (StillDue(comm_event::kReceive)) {
        events_.Raise(comm_event::kReceive);
    }
}

void CommControl::OnWritten() { RaiseSendEventIfDue(); }

void CommControl::OnDeliveryTurn() { events_.DeliverPending(); }

void CommControl::RaiseSendEventIfDue()
{
    if (sendEventDue_ && backend_->BytesHeldForWriting() < static_cast<std::size_t>(sThreshold_)) {
        sendEventDue_ = false;
        events_.Raise(comm_event::kSend);
    }
}

bool CommControl::StillDue(std::int16_t commEvent) const
{
    if (commEvent != comm_event::kReceive) {
        return true;
    }
    return rThreshold_ > 0 && received_.Size() >= static_cast<std::size_t>(rThreshold_);
}

} // namespace tavex
