#include "support/keyboard_link_control.h"

#include <utility>

namespace tavex::test {

void KeyboardLinkControl::SetCommPort(std::int16_t)
{
    if (refuseSelect || open_) {
        throw CommControlError("CommPort refused");
    }
}

void KeyboardLinkControl::SetSettings(const std::string& settings)
{
    if (refuseSettings) {
        throw CommControlError("Settings refused");
    }
    baud_ = static_cast<std::uint32_t>(std::stoul(settings.substr(0, settings.find(','))));
}

void KeyboardLinkControl::SetPortOpen(bool open)
{
    if ((open && refuseOpen) || (!open && refuseClose)) {
        throw CommControlError("PortOpen refused", open ? openRefusal : ErrorCategory::kOther);
    }
    if (open && !open_) {
        ++openings_;
        keyboard_.StartSession();
    }
    open_ = open;
    waiting_.clear();
}

void KeyboardLinkControl::LoseDevice()
{
    open_ = false;
    waiting_.clear();
    commEvent_ = comm_event::kDcb;
    Notify(onComm_);
}

void KeyboardLinkControl::SetOutput(const std::vector<std::uint8_t>& bytes)
{
    if (!open_) {
        throw CommControlError("port closed");
    }
    frames.push_back(bytes);
    frameBauds.push_back(baud_);
    for (const ReplyPiece& piece : keyboard_.Receive(bytes, baud_, NowMicros()).pieces) {
        After(piece.delayMicros, [this, bytes = piece.bytes, opening = openings_] { Arrive(bytes, opening); });
    }
}

void KeyboardLinkControl::Arrive(const std::vector<std::uint8_t>& bytes, std::uint64_t opening)
{
    if (!open_ || opening != openings_) {
        return;
    }
    waiting_.insert(waiting_.end(), bytes.begin(), bytes.end());
    if (rThreshold_ > 0 && waiting_.size() >= static_cast<std::size_t>(rThreshold_) && onComm_) {
        Notify(onComm_);
    }
}

std::vector<std::uint8_t> KeyboardLinkControl::GetInput()
{
    if (!open_) {
        throw CommControlError("port closed");
    }
    return std::exchange(waiting_, {});
}

} // namespace tavex::test
