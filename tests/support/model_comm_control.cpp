#include "support/model_comm_control.h"

#include <utility>

namespace tavex::test {

void ModelCommControl::SetCommPort(std::int16_t number)
{
    if (refuseSelect || open_) {
        throw CommControlError("CommPort refused");
    }
    commPort = number;
}

void ModelCommControl::SetSettings(const std::string& settings)
{
    if (refuseSettings) {
        throw CommControlError("Settings refused");
    }
    baud_ = static_cast<std::uint32_t>(std::stoul(settings.substr(0, settings.find(','))));
}

void ModelCommControl::SetPortOpen(bool open)
{
    if ((open && refuseOpen) || (!open && refuseClose)) {
        throw CommControlError("PortOpen refused");
    }
    if (open && !open_) {
        ++openings_;
        keyboard_.StartSession();
    }
    open_ = open;
    waiting_.clear();
}

void ModelCommControl::SetOutput(const std::vector<std::uint8_t>& bytes)
{
    if (!open_) {
        throw CommControlError("port closed");
    }
    frames.push_back(bytes);
    frameBauds.push_back(baud_);
    const KeyboardResponse response = keyboard_.Receive(bytes, baud_);
    const std::uint64_t sentAt = loop_.NowMicros();
    for (const ReplyPiece& piece : response.pieces) {
        loop_.Happen(sentAt + piece.delayMicros,
                     [this, bytes = piece.bytes, opening = openings_] { Arrive(bytes, opening); });
    }
}

void ModelCommControl::Arrive(const std::vector<std::uint8_t>& bytes, std::uint64_t opening)
{
    if (!open_ || opening != openings_) {
        return;
    }
    waiting_.insert(waiting_.end(), bytes.begin(), bytes.end());
    if (rThreshold_ > 0 && waiting_.size() >= static_cast<std::size_t>(rThreshold_) && onComm_) {
        loop_.Post(loop_.NowMicros(), onComm_);
    }
}

std::vector<std::uint8_t> ModelCommControl::GetInput()
{
    if (!open_) {
        throw CommControlError("port closed");
    }
    return std::exchange(waiting_, {});
}

std::unique_ptr<ICommControl> ModelControlHost::CreateControl()
{
    if (!controlAvailable) {
        return nullptr;
    }
    auto made = std::make_unique<ModelCommControl>(loop_, keyboard_);
    control = made.get();
    return made;
}

} // namespace tavex::test
