#pragma once

// The replies waiting for their time to go out on the line, on a clock the
// owner keeps. The keyboard sends in the order it answered: a reply never
// overtakes one answered before it, so a late reply holds up those behind it.

#include "sim/keyboard_response.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace tavex {

struct DueBytes {
    std::vector<std::uint8_t> bytes;
    bool vanish = false;  // the keyboard is gone after these bytes
};

class ReplyQueue {
public:
    // Queues a response to bytes that arrived at `nowMicros`.
    void Schedule(std::uint64_t nowMicros, const KeyboardResponse& response);

    // When the next piece (or the vanishing) is due; nothing when none waits.
    std::optional<std::uint64_t> NextDueMicros() const;

    // Removes and answers everything due by `nowMicros`, in order.
    DueBytes TakeDue(std::uint64_t nowMicros);

    // Puts bytes that could not be sent back at the front, due at once.
    void PutBack(std::vector<std::uint8_t> bytes);

    void Clear();

private:
    struct Timed {
        std::uint64_t dueMicros;
        std::vector<std::uint8_t> bytes;
    };
    std::deque<Timed> pieces_;
    std::optional<std::uint64_t> vanishMicros_;
    std::uint64_t lastDueMicros_ = 0;
};

} // namespace tavex
