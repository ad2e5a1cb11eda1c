// The line settings as QSerialPort takes them.

#include "serial/qt/port_setup.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

struct QtSettingsCase {
    const char* text;
    QSerialPort::Parity parity;
    QSerialPort::DataBits dataBits;
    QSerialPort::StopBits stopBits;
};

TEST(ApplyLineSettings, GivesQSerialPortEachValue)
{
    const QtSettingsCase cases[] = {
        {"19200,N,8,1", QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop},
        {"57600,E,7,2", QSerialPort::EvenParity, QSerialPort::Data7, QSerialPort::TwoStop},
        {"110,O,5,1", QSerialPort::OddParity, QSerialPort::Data5, QSerialPort::OneStop},
        {"256000,M,6,2", QSerialPort::MarkParity, QSerialPort::Data6, QSerialPort::TwoStop},
        {"9600,S,8,1", QSerialPort::SpaceParity, QSerialPort::Data8, QSerialPort::OneStop},
    };
    for (const QtSettingsCase& settings : cases) {
        SCOPED_TRACE(settings.text);
        const LineSettings parsed = *ParseLineSettings(settings.text);
        QSerialPort port;
        ASSERT_TRUE(ApplyLineSettings(port, parsed));
        EXPECT_EQ(port.baudRate(), parsed.baudRate);
        EXPECT_EQ(port.parity(), settings.parity);
        EXPECT_EQ(port.dataBits(), settings.dataBits);
        EXPECT_EQ(port.stopBits(), settings.stopBits);
    }
}

// termios has no 1.5 stop bits: Qt would set one without a word.
TEST(PortCanRun, OneAndAHalfStopBitsOnlyWhereTheyAreSent)
{
    EXPECT_TRUE(PortCanRun(*ParseLineSettings("9600,N,5,1")));
    EXPECT_TRUE(PortCanRun(*ParseLineSettings("9600,N,5,2")));
#ifdef Q_OS_WIN
    EXPECT_TRUE(PortCanRun(*ParseLineSettings("9600,N,5,1.5")));
#else
    EXPECT_FALSE(PortCanRun(*ParseLineSettings("9600,N,5,1.5")));
#endif
}

} // namespace
} // namespace tavex
