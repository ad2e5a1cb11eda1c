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
    // Replies dropped take no time on the line: those after them are not held up.
    std::uint64_t lastQueuedDue = due;
    bool dropping = false;
    for (const ReplyPiece& piece : response.pieces) {
        due = nowMicros + shift + piece.delayMicros;
        // Taken or dropped whole, by the room there is when it starts.
        if (piece.startsReply) {
            dropping = waitingBytes_ >= maxWaitingBytes_;
            droppedReplies_ += dropping ? 1 : 0;
        }
        if (!dropping) {
            Push(due, piece.bytes);
            lastQueuedDue = due;
        }
    }
    lastDueMicros_ = std::max(lastDueMicros_, lastQueuedDue);
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
        waitingBytes_ -= pieces_.front().bytes.size();
        pieces_.pop_front();
    }
    due.vanish = pieces_.empty() && vanishMicros_ && *vanishMicros_ <= nowMicros;
    return due;
}

void ReplyQueue::PutBack(std::vector<std::uint8_t> bytes)
{
    if (!bytes.empty()) {
        waitingBytes_ += bytes.size();
        pieces_.push_front({0, std::move(bytes)});  // they were due when they were taken
    }
}

void ReplyQueue::Clear()
{
    pieces_.clear();
    waitingBytes_ = 0;
    vanishMicros_.reset();
    lastDueMicros_ = 0;
}

void ReplyQueue::Push(std::uint64_t dueMicros, const std::vector<std::uint8_t>& bytes)
{
    pieces_.push_back({dueMicros, bytes});
    waitingBytes_ += bytes.size();
}

} // namespace tavex
