#pragma once

// The replies waiting for their time to go out on the line, on a clock the
// owner keeps. The keyboard sends in the order it answered: a reply never
// overtakes one answered before it, so a late reply holds up those behind it.
//
// The queue is bounded, so a host that floods frames and never reads cannot
// make it grow without limit. Once it holds its bound in bytes, the newest
// replies are dropped, each whole, until the host has read some: those
// waiting are the answers to earlier frames, in order and perhaps half sent
// already, and dropping them would cut a reply the host has begun to read.
// A keyboard whose transmit buffer is full likewise loses what it has not
// yet put in it.

#include "sim/keyboard_response.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace tavex {

struct DueBytes {
    std::vector<std::uint8_t> bytes;
    bool vanish = false;  // the keyboard is gone after these bytes
};

// Room for the replies to some hundreds of frames: far more than a host
// waiting for each reply, or sending a few frames ahead, ever leaves unread.
constexpr std::size_t kMaxWaitingReplyBytes = 4096;

class ReplyQueue {
public:
    explicit ReplyQueue(std::size_t maxWaitingBytes = kMaxWaitingReplyBytes) : maxWaitingBytes_(maxWaitingBytes) {}

    // Queues a response to bytes that arrived at `nowMicros`, but for the
    // replies that find the queue full. A vanishing is never dropped.
    void Schedule(std::uint64_t nowMicros, const KeyboardResponse& response);

    // When the next piece (or the vanishing) is due; nothing when none waits.
    std::optional<std::uint64_t> NextDueMicros() const;

    // Removes and answers everything due by `nowMicros`, in order.
    DueBytes TakeDue(std::uint64_t nowMicros);

    // Puts bytes that could not be sent back at the front, due at once. They
    // were let in once, so they are never dropped.
    void PutBack(std::vector<std::uint8_t> bytes);

    // Forgets what waits; the count of replies dropped is kept.
    void Clear();

    // Replies dropped since the queue was made.
    std::uint64_t DroppedReplies() const { return droppedReplies_; }

private:
    struct Timed {
        std::uint64_t dueMicros;
        std::vector<std::uint8_t> bytes;
    };
    void Push(std::uint64_t dueMicros, const std::vector<std::uint8_t>& bytes);

    const std::size_t maxWaitingBytes_;
    std::deque<Timed> pieces_;
    std::size_t waitingBytes_ = 0;
    std::optional<std::uint64_t> vanishMicros_;
    std::uint64_t lastDueMicros_ = 0;
    std::uint64_t droppedReplies_ = 0;
};

} // namespace tavex
