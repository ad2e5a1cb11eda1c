#include "serial/line_free_time.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using namespace std::chrono_literals;
using Clock = LineFreeTime::Clock;

constexpr LineSettings k19200N81{19200, Parity::kNone, 8, StopBits::kOne};

TEST(LineFreeTime, TheWriteThatEndsLastDecidesWhileOthersAreOnTheirWay)
{
    const Clock::time_point start = Clock::time_point{} + 100s;
    LineFreeTime line;
    line.Written(10, k19200N81, start);  // 5209 us on the wire
    line.Written(10, k19200N81, start + 1ms);
    line.Written(1, k19200N81, start + 2ms);  // ends before the one before it
    EXPECT_EQ(line.FreeAt(), start + 1ms + 5209us);
}

TEST(LineFreeTime, AnUnpacedLineDoesNotRunAhead)
{
    // A pseudo-terminal takes a frame and answers at once: a thousand frames
    // of 42 bytes in a second, which a 19200 baud line needs 22 s for.
    const Clock::time_point start = Clock::time_point{} + 100s;
    LineFreeTime line;
    for (int frame = 0; frame < 1000; ++frame) {
        line.Written(42, k19200N81, start + frame * 1ms);
    }
    EXPECT_EQ(line.FreeAt(), start + 999ms + 21875us);
}

TEST(LineFreeTime, AWriteToAnIdleLineStartsWhenItIsMade)
{
    const Clock::time_point start = Clock::time_point{} + 100s;
    LineFreeTime line;
    line.Written(10, k19200N81, start);
    line.Written(1, k19200N81, start + 1s);
    EXPECT_EQ(line.FreeAt(), start + 1s + 521us);
}

TEST(LineFreeTime, ALineNothingWasWrittenToIsFree)
{
    EXPECT_LT(LineFreeTime().FreeAt(), Clock::now());
}

} // namespace
} // namespace tavex
