#pragma once

// When the bytes written to a serial line have crossed it. Each character
// takes a start bit, its data bits, a parity bit if there is one and its
// stop bits, one bit time each at the line's baud rate. Each platform's
// line settings say what one character looks like (CharacterFrame) and give
// WireTime for themselves.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace tavex {

struct CharacterFrame {
    std::int64_t baudRate = 0;
    unsigned dataBits = 8;
    bool parity = false;
    unsigned stopHalfBits = 2;  // in half bits: 1.5 stop bits are 3
};

// The time `bytes` characters take, rounded up to the microsecond; zero for
// a baud rate that is not positive.
std::chrono::microseconds WireTime(std::size_t bytes, const CharacterFrame& frame);

// Where a line's output stands: the moment its last byte will have crossed.
class LineFreeTime {
public:
    using Clock = std::chrono::steady_clock;

    // Counts `bytes` written at `now` on a line with these settings (any type
    // that has a WireTime): the line is free once they have had their wire
    // time, and not before the bytes written earlier. Bytes written while
    // others are still on their way wait in the driver's queue, which the
    // close watches by itself; adding their times up would run far ahead of
    // a line that is not paced (a pseudo-terminal answers at once) and make
    // every close wait its longest.
    template <class LineSettings>
    void Written(std::size_t bytes, const LineSettings& settings, Clock::time_point now)
    {
        WrittenFor(WireTime(bytes, settings), now);
    }

    // Long past for a line nothing was written to.
    Clock::time_point FreeAt() const { return freeAt_; }

private:
    void WrittenFor(std::chrono::microseconds wireTime, Clock::time_point now);

    Clock::time_point freeAt_{};
};

} // namespace tavex
