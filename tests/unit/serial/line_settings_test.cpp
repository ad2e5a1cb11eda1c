#include "serial/line_settings.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using namespace std::chrono_literals;

struct GoodSettings {
    const char* text;
    LineSettings parsed;
};

TEST(ParseLineSettings, ReadsEachFieldOfAGoodString)
{
    const GoodSettings cases[] = {
        {"19200,N,8,1", {19200, Parity::kNone, 8, StopBits::kOne}},
        {"57600,E,7,2", {57600, Parity::kEven, 7, StopBits::kTwo}},
        {"110,O,5,1.5", {110, Parity::kOdd, 5, StopBits::kOneAndHalf}},
        {"256000,M,6,2", {256000, Parity::kMark, 6, StopBits::kTwo}},
        {"9600,S,8,1", {9600, Parity::kSpace, 8, StopBits::kOne}},
        {"9600,n,8,1", {9600, Parity::kNone, 8, StopBits::kOne}},
        {"14400,e,8,1", {14400, Parity::kEven, 8, StopBits::kOne}},
        {"300,o,8,2", {300, Parity::kOdd, 8, StopBits::kTwo}},
        {"1200,m,8,1", {1200, Parity::kMark, 8, StopBits::kOne}},
        {"2400,s,8,1", {2400, Parity::kSpace, 8, StopBits::kOne}},
    };
    for (const GoodSettings& good : cases) {
        SCOPED_TRACE(good.text);
        EXPECT_EQ(ParseLineSettings(good.text), good.parsed);
    }
}

TEST(ParseLineSettings, RefusesAStringNoPortCanRun)
{
    const char* const cases[] = {
        "",              "19200",          "19200,N,8",     "19200,N,8,1,",  "19200,N,8,1,1",
        "fast,N,8,1",    "19200x,N,8,1",   "-9600,N,8,1",   "0,N,8,1",       ",N,8,1",
        "99999999999,N,8,1", " 19200,N,8,1", "19200,X,8,1", "19200,,8,1",    "19200,NN,8,1",
        "19200,N,4,1",   "19200,N,9,1",    "19200,N,,1",    "19200,N,8,0",   "19200,N,8,3",
        "19200,N,8,",    "19200,N,8,1.0",  "19200;N;8;1",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseLineSettings(text).has_value());
    }
}

struct WireCase {
    const char* settings;
    std::size_t bytes;
    std::chrono::microseconds expected;
};

TEST(WireTime, CountsStartDataParityAndStopBitsAtTheBaudRateRoundedUp)
{
    const WireCase cases[] = {
        {"19200,N,8,1", 0, 0us},          // nothing written
        {"19200,N,8,1", 1, 521us},        // one byte, 10 bits
        {"19200,N,8,1", 960, 500'000us},  // a frame at 19200
        {"57600,N,8,1", 6, 1042us},
        {"9600,E,7,1", 3, 3125us},        // parity adds a bit
        {"9600,O,8,2", 100, 125'000us},   // two stop bits and parity, 12 bits
        {"115200,M,8,2", 1, 105us},
        {"110,N,5,1", 1, 63'637us},
        {"9600,N,5,1.5", 2, 1563us},      // one and a half stop bits
    };
    for (const WireCase& wire : cases) {
        SCOPED_TRACE(testing::Message() << wire.settings << " x" << wire.bytes);
        EXPECT_EQ(WireTime(wire.bytes, *ParseLineSettings(wire.settings)), wire.expected);
    }
    EXPECT_EQ(WireTime(10, LineSettings{0, Parity::kNone, 8, StopBits::kOne}), 0us);
}

} // namespace
} // namespace tavex
