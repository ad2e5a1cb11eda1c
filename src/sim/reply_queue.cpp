#include "sim/reply_queue.h"

#include <algorithm>

namespace tavex {

void ReplyQueue::Schedule(std::uint64_t nowMicros, const KeyboardResponse& response)
{
    if (response.pieces.empty() && !response.vanishes) {
        return;
    }
    // Shifted as a whole, so the pacing between the pieces is kept.
    const std::uint64_t firstDue = nowMicros + (response.pieces.empty() ? 0 : response.pieces[0].delayMicros);
    const std::uint64_t shift = pieces_.empty() ? 0 : lastDueMicros_ - std::min(lastDueMicros_, firstDue);
    std::uint64_t due = nowMicros + shift;
    for (const ReplyPiece& piece : response.pieces) {
        due = nowMicros + shift + piece.delayMicros;
        pieces_.push_back({due, piece.bytes});
    }
    lastDueMicros_ = std::max(lastDueMicros_, due);
    if (response.vanishes) {
        vanishMicros_ = due;
    }
}

std::optional<std::uint64_t> ReplyQueue::NextDueMicros() const
{
    if (!pieces_.empty()) {
        return pieces_.front().dueMicros;
    }
    return vanishMicros_;
}

DueBytes ReplyQueue::TakeDue(std::uint64_t nowMicros)
{
    DueBytes due;
    while (!pieces_.empty() && pieces_.front().dueMicros <= nowMicros) {
        due.bytes.insert(due.bytes.end(), pieces_.front().bytes.begin(), pieces_.front().bytes.end());
        pieces_.pop_front();
    }
    due.vanish = pieces_.empty() && vanishMicros_ && *vanishMicros_ <= nowMicros;
    return due;
}

void ReplyQueue::PutBack(std::vector<std::uint8_t> bytes)
{
    if (!bytes.empty()) {
        pieces_.push_front({0, std::move(bytes)});  // they were due when they were taken
    }
}

void ReplyQueue::Clear()
{
    pieces_.clear();
    vanishMicros_.reset();
    lastDueMicros_ = 0;
}

} // namespace tavex
