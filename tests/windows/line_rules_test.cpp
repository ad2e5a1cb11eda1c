// The Win32 control's pure rules: the line settings and the handshaking in
// the DCB, the line errors, the device names.

#include "serial/comm_control.h"
#include "serial/line_settings.h"
#include "serial/win32/com_device_path.h"
#include "serial/win32/comm_errors.h"
#include "serial/win32/dcb_settings.h"
#include "serial/win32/port_setup.h"

#include <gtest/gtest.h>

#include <string>

namespace tavex {
namespace {

TEST(ApplyDcbSettings, WritesTheLineSettingsAndParityChecking)
{
    DCB dcb{};
    ApplyDcbSettings(dcb, *ParseLineSettings("4800,E,7,1.5"));
    EXPECT_EQ(dcb.BaudRate, 4800U);
    EXPECT_EQ(dcb.Parity, EVENPARITY);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.StopBits, ONE5STOPBITS);
    EXPECT_EQ(dcb.fParity, 1U);
    ApplyDcbSettings(dcb, *ParseLineSettings("4800,N,8,1"));
    EXPECT_EQ(dcb.fParity, 0U);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    for (const auto& [letter, parity] : {std::pair{"O", ODDPARITY}, {"M", MARKPARITY}, {"S", SPACEPARITY}}) {
        ApplyDcbSettings(dcb, *ParseLineSettings(std::string("9600,") + letter + ",8,2"));
        EXPECT_EQ(dcb.Parity, parity);
        EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    }
}

struct HandshakeCase {
    std::int32_t handshaking;
    bool rts;
    bool dtr;
    unsigned ctsFlow;
    unsigned rtsControl;
    unsigned xonXoff;
    unsigned dtrControl;
};

TEST(FillDcb, PutsHandshakingAndModemLinesIntoTheDcb)
{
    const HandshakeCase cases[] = {
        {0, false, false, 0, RTS_CONTROL_DISABLE, 0, DTR_CONTROL_DISABLE},
        {0, true, true, 0, RTS_CONTROL_ENABLE, 0, DTR_CONTROL_ENABLE},
        {1, true, false, 0, RTS_CONTROL_ENABLE, 1, DTR_CONTROL_DISABLE},
        {2, false, true, 1, RTS_CONTROL_HANDSHAKE, 0, DTR_CONTROL_ENABLE},
        {3, false, false, 1, RTS_CONTROL_HANDSHAKE, 1, DTR_CONTROL_DISABLE},
    };
    for (const HandshakeCase& handshake : cases) {
        SCOPED_TRACE(testing::Message() << "Handshaking " << handshake.handshaking << " RTS " << handshake.rts);
        DCB dcb{};
        dcb.fAbortOnError = TRUE;  // left on by an earlier user of the port
        dcb.fNull = TRUE;
        FillDcb(dcb, PortState{*ParseLineSettings("19200,N,8,1"), handshake.handshaking, handshake.rts,
                               handshake.dtr});
        EXPECT_EQ(dcb.fOutxCtsFlow, handshake.ctsFlow);
        EXPECT_EQ(dcb.fRtsControl, handshake.rtsControl);
        EXPECT_EQ(dcb.fOutX, handshake.xonXoff);
        EXPECT_EQ(dcb.fInX, handshake.xonXoff);
        EXPECT_EQ(dcb.fDtrControl, handshake.dtrControl);
        EXPECT_EQ(dcb.fBinary, 1U);
        EXPECT_EQ(dcb.fAbortOnError, 0U);
        EXPECT_EQ(dcb.fNull, 0U);
        EXPECT_EQ(dcb.BaudRate, 19200U);
    }
    EXPECT_FALSE(HandshakingValid(-1));
    EXPECT_FALSE(HandshakingValid(4));
}

TEST(LineErrorEvents, RaisesOneEventForEachErrorFlag)
{
    EXPECT_TRUE(LineErrorEvents(0).empty());
    EXPECT_TRUE(LineErrorEvents(CE_TXFULL).empty());
    EXPECT_EQ(LineErrorEvents(CE_FRAME), std::vector<std::int16_t>{comm_event::kFrame});
    EXPECT_EQ(LineErrorEvents(CE_RXPARITY | CE_OVERRUN),
              (std::vector<std::int16_t>{comm_event::kOverrun, comm_event::kRxParity}));
    EXPECT_EQ(LineErrorEvents(CE_BREAK | CE_FRAME | CE_OVERRUN | CE_RXOVER | CE_RXPARITY),
              (std::vector<std::int16_t>{comm_event::kBreak, comm_event::kFrame, comm_event::kOverrun,
                                         comm_event::kRxOver, comm_event::kRxParity}));
}

TEST(DevicePath, ComNamesInAnyFormReachThePortThroughTheDeviceNamespace)
{
    const std::pair<const char*, const char*> cases[] = {
        {"COM12", R"(\\.\COM12)"},   {"com12", R"(\\.\COM12)"},     {R"(\\.\COM12)", R"(\\.\COM12)"},
        {R"(\\.\com3)", R"(\\.\COM3)"}, {"Com1", R"(\\.\COM1)"},     {"COM", "COM"},
        {"COM0", "COM0"},              {"COM1a", "COM1a"},           {"COMX", "COMX"},
        {"LPT1", "LPT1"},              {R"(\\.\CNCA0)", R"(\\.\CNCA0)"}, {"C:\\port.bin", "C:\\port.bin"},
        {"COM-1", "COM-1"},
    };
    for (const auto& [given, expected] : cases) {
        SCOPED_TRACE(given);
        EXPECT_EQ(NormaliseDevicePath(given), expected);
    }
    EXPECT_EQ(ComDevicePath(1), R"(\\.\COM1)");
    EXPECT_EQ(ComDevicePath(16), R"(\\.\COM16)");
}

} // namespace
} // namespace tavex
