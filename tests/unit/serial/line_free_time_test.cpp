#include "serial/qt/line_free_time.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using namespace std::chrono_literals;
using Clock = LineFreeTime::Clock;

constexpr LineSettings k19200N81{19200, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop};

struct WireCase {
    const char* name;
    LineSettings settings;
    std::size_t bytes;
    std::chrono::microseconds expected;
};

TEST(WireTime, CountsStartDataParityAndStopBitsAtTheBaudRateRoundedUp)
{
    const WireCase cases[] = {
        {"nothing written", k19200N81, 0, 0us},
        {"one byte, 10 bits", k19200N81, 1, 521us},
        {"a frame at 19200", k19200N81, 960, 500'000us},
        {"a frame at 57600", {57600, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop}, 6, 1042us},
        {"parity adds a bit", {9600, QSerialPort::EvenParity, QSerialPort::Data7, QSerialPort::OneStop}, 3, 3125us},
        {"two stop bits and parity, 12 bits",
         {9600, QSerialPort::OddParity, QSerialPort::Data8, QSerialPort::TwoStop}, 100, 125'000us},
        {"mark parity at 115200", {115200, QSerialPort::MarkParity, QSerialPort::Data8, QSerialPort::TwoStop}, 1,
         105us},
        {"five data bits at 110", {110, QSerialPort::NoParity, QSerialPort::Data5, QSerialPort::OneStop}, 1, 63'637us},
        {"one and a half stop bits", {9600, QSerialPort::NoParity, QSerialPort::Data5, QSerialPort::OneAndHalfStop},
         2, 1563us},
        {"no baud rate", {0, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop}, 10, 0us},
    };
    for (const WireCase& wire : cases) {
        SCOPED_TRACE(wire.name);
        EXPECT_EQ(WireTime(wire.bytes, wire.settings), wire.expected);
    }
}

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
