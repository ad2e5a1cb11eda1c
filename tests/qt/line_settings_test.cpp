#include "serial/qt/line_settings.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

struct GoodSettings {
    const char* text;
    LineSettings parsed;
};

TEST(ParseLineSettings, ReadsEachFieldOfAGoodString)
{
    const GoodSettings cases[] = {
        {"19200,N,8,1", {19200, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop}},
        {"57600,E,7,2", {57600, QSerialPort::EvenParity, QSerialPort::Data7, QSerialPort::TwoStop}},
        {"110,O,5,1", {110, QSerialPort::OddParity, QSerialPort::Data5, QSerialPort::OneStop}},
        {"256000,M,6,2", {256000, QSerialPort::MarkParity, QSerialPort::Data6, QSerialPort::TwoStop}},
        {"9600,S,8,1", {9600, QSerialPort::SpaceParity, QSerialPort::Data8, QSerialPort::OneStop}},
        {"9600,n,8,1", {9600, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop}},
        {"14400,e,8,1", {14400, QSerialPort::EvenParity, QSerialPort::Data8, QSerialPort::OneStop}},
    };
    for (const GoodSettings& good : cases) {
        SCOPED_TRACE(good.text);
        EXPECT_EQ(ParseLineSettings(good.text), good.parsed);
    }
}

TEST(ParseLineSettings, RefusesAStringThePortCannotRun)
{
    const char* const cases[] = {
        "",              "19200,N,8",      "19200,N,8,1,",  "19200,N,8,1,1", "fast,N,8,1",
        "19200x,N,8,1",  "-9600,N,8,1",    "0,N,8,1",       ",N,8,1",        "99999999999,N,8,1",
        " 19200,N,8,1",  "19200,X,8,1",    "19200,,8,1",    "19200,NN,8,1",  "19200,N,4,1",
        "19200,N,9,1",   "19200,N,,1",     "19200,N,8,0",   "19200,N,8,3",   "19200,N,8,",
        "19200;N;8;1",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseLineSettings(text).has_value());
    }
}

TEST(ParseLineSettings, TakesOneAndAHalfStopBitsOnlyWhereTheyAreSent)
{
    const std::optional<LineSettings> parsed = ParseLineSettings("9600,N,5,1.5");
#ifdef Q_OS_WIN
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->stopBits, QSerialPort::OneAndHalfStop);
#else
    EXPECT_FALSE(parsed.has_value());
#endif
}

} // namespace
} // namespace tavex
