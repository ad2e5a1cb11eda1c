#include "qt_model_comm_control.h"

#include <QTimer>

#include <utility>

namespace tavex::test {

void QtModelCommControl::SetSettings(const std::string& settings)
{
    baud_ = static_cast<std::uint32_t>(std::stoul(settings.substr(0, settings.find(','))));
}

void QtModelCommControl::SetPortOpen(bool open)
{
    if (open && !open_) {
        ++openings_;
        keyboard_.StartSession();
    }
    open_ = open;
    waiting_.clear();
}

void QtModelCommControl::SetOutput(const std::vector<std::uint8_t>& bytes)
{
    if (!open_) {
        throw CommControlError("port closed");
    }
    frames.push_back(bytes);
    for (const ReplyPiece& piece : keyboard_.Receive(bytes, baud_).pieces) {
        const int delayMs = static_cast<int>((piece.delayMicros + 999) / 1000);
        QTimer::singleShot(delayMs, this, [this, bytes = piece.bytes, opening = openings_] { Arrive(bytes, opening); });
    }
}

void QtModelCommControl::Arrive(const std::vector<std::uint8_t>& bytes, unsigned opening)
{
    if (!open_ || opening != openings_) {
        return;
    }
    waiting_.insert(waiting_.end(), bytes.begin(), bytes.end());
    if (rThreshold_ > 0 && waiting_.size() >= static_cast<std::size_t>(rThreshold_) && onComm_) {
        onComm_();
    }
}

std::vector<std::uint8_t> QtModelCommControl::GetInput()
{
    if (!open_) {
        throw CommControlError("port closed");
    }
    return std::exchange(waiting_, {});
}

} // namespace tavex::test
