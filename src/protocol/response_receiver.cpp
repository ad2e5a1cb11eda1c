// Collects the reply the protocol state awaits from the comm control's
// notifications and recognises it once exactly its length has arrived.

#include "protocol/bootloader_frames.h"
#include "protocol/com_port_event_handler.h"

#include <algorithm>

namespace tavex {

namespace {

constexpr int kLastSignalEvent = 6;       // send buffer low, CTS, DSR, CD, ring, EOF character
constexpr int kFirstLineErrorEvent = 7;   // break, time-outs, framing, overrun, ...
constexpr int kLastLineErrorEvent = 16;

bool HasOutcome(ProtocolState state) { return state >= bpStateRECEIVE_OK && state <= bpStateER_INTERNAL; }

} // namespace

// Appends what fits in the receive buffer and drops the rest: a reply is
// recognised by its exact length, which the dropped excess never has.
std::size_t ComPortEventHandler::Append(const std::vector<std::uint8_t>& bytes)
{
    const std::size_t room = rxBuffer_.size() - static_cast<std::size_t>(rxCount_);
    const std::size_t kept = std::min(room, bytes.size());
    std::copy_n(bytes.begin(), kept, rxBuffer_.begin() + rxCount_);
    rxCount_ += static_cast<std::int32_t>(kept);
    return bytes.size();
}

bool ComPortEventHandler::Collect()
{
    try {
        Append(port_->ReadInput());
        return true;
    } catch (const CommControlError&) {
        state_ = bpStateEX_RECEIVE;
        Post();
        return false;
    }
}

bool ComPortEventHandler::RxStartsWith(const std::array<std::uint8_t, 2>& pair) const
{
    return rxBuffer_.size() >= 2 && rxBuffer_[0] == pair[0] && rxBuffer_[1] == pair[1];
}

void ComPortEventHandler::OnCommEvent(int eventCode)
{
    lastEvent_ = eventCode;
    if (HasOutcome(state_)) {
        return;
    }
    if (eventCode != kEventReceive) {
        if (eventCode <= kLastSignalEvent && eventCode >= 0) {
            return;
        }
        if (eventCode >= kFirstLineErrorEvent && eventCode <= kLastLineErrorEvent) {
            state_ = bpStateEX_OTHER;
        } else if (eventCode == kEventUnknown || eventCode == kEventNone) {
            state_ = StateEX_USERDEF;
        } else {
            state_ = bpStateEX_UNDEF;
        }
        Post();
        return;
    }

    struct Awaited {
        ProtocolState state;
        void (ComPortEventHandler::*recognize)();
    };
    static constexpr Awaited kAwaited[] = {
        {bpStateSENT_C0, &ComPortEventHandler::RecognizeIdentification},
        {bpStateSENT_C1, &ComPortEventHandler::RecognizeStatus},
        {bpStateSENT_S2, &ComPortEventHandler::RecognizeStatus},
        {bpStateSENT_S8, &ComPortEventHandler::RecognizeStatus},
        {bpStateSENT_T0, &ComPortEventHandler::RecognizeDataReply},
        {bpStateSENT_T7, &ComPortEventHandler::RecognizeKeyboardId},
    };
    for (const Awaited& awaited : kAwaited) {
        if (awaited.state == state_) {
            if (port_ != nullptr && Collect()) {
                (this->*awaited.recognize)();
            }
            return;
        }
    }
    // In any other state the bytes stay with the control.
}

void ComPortEventHandler::RecognizeIdentification()
{
    const auto& expected = bootloader::kIdentification;
    if (rxCount_ != static_cast<std::int32_t>(expected.size())) {
        return;
    }
    const bool matches = std::equal(expected.begin(), expected.end(), rxBuffer_.begin());
    rxCount_ = 0;
    state_ = matches ? bpStateRECEIVE_C0 : bpStateRECEIVE_UK;
    Post();
}

void ComPortEventHandler::RecognizeStatus()
{
    if (rxCount_ != static_cast<std::int32_t>(bootloader::kStatusReplyLength)) {
        return;
    }
    struct Status {
        const std::array<std::uint8_t, 2>& reply;
        ProtocolState state;
    };
    const Status statuses[] = {{bootloader::kOk, bpStateRECEIVE_OK},
                               {bootloader::kCommunicationError, bpStateRECEIVE_CE},
                               {bootloader::kCommandError, bpStateRECEIVE_FE}};
    state_ = bpStateRECEIVE_UK;
    for (const Status& status : statuses) {
        if (RxStartsWith(status.reply)) {
            state_ = status.state;
        }
    }
    rxCount_ = 0;
    Post();
}

void ComPortEventHandler::RecognizeDataReply()
{
    constexpr std::size_t kDataLength = 16;
    if (rxCount_ != static_cast<std::int32_t>(bootloader::kDataReplyLength)) {
        return;
    }
    std::uint8_t check = 0;
    for (std::size_t i = 2; i < 2 + kDataLength; ++i) {
        check = static_cast<std::uint8_t>(check ^ rxBuffer_[i]);
    }
    if (rxBuffer_[0] == 'D' && rxBuffer_[1] == 'T' && check == rxBuffer_[2 + kDataLength]) {
        std::copy_n(rxBuffer_.begin() + 2, kDataLength, rxBuffer_.begin());
        rxCount_ = static_cast<std::int32_t>(kDataLength);
        state_ = bpStateRECEIVE_DT;
    } else {
        state_ = bpStateRECEIVE_UK;
    }
    Post();
}

void ComPortEventHandler::RecognizeKeyboardId()
{
    if (rxCount_ != static_cast<std::int32_t>(keyboardId_.size())) {
        return;
    }
    std::copy_n(rxBuffer_.begin(), keyboardId_.size(), keyboardId_.begin());
    if (keyboardId_[0] == bootloader::kKeyboardIdPrefix[0] && keyboardId_[1] == bootloader::kKeyboardIdPrefix[1]) {
        state_ = bpStateRECEIVE_T7;
        rxCount_ = 0;
    } else {
        state_ = bpStateRECEIVE_UK;
    }
    Post();
}

void ComPortEventHandler::TimeoutRead()
{
    timedOut_ = true;
    if (port_ == nullptr) {
        state_ = bpStateEX_RECEIVE;
        return;
    }
    std::size_t arrived = 0;
    try {
        arrived = Append(port_->ReadInput());
    } catch (const CommControlError&) {
        state_ = bpStateEX_RECEIVE;
        return;
    }
    state_ = bpStateRECEIVE_UK;
    if (arrived == bootloader::kStatusReplyLength) {
        // A late "OK" is still a time-out; "CE" and "FE" keep their own meaning.
        if (RxStartsWith(bootloader::kCommunicationError)) {
            state_ = bpStateRECEIVE_CE;
        } else if (RxStartsWith(bootloader::kCommandError)) {
            state_ = bpStateRECEIVE_FE;
        }
    }
    rxCount_ = 0;
}

} // namespace tavex
