// Line settings and handshaking as the device ends up with them.

#include "control_fixture.h"

namespace tavex::test {
namespace {

using ControlSettings = ControlFixture;

TEST_F(ControlSettings, AppliesTheSettingsAtEachOpen)
{
    control.SetSettings("19200,N,8,1");
    control.SetPortOpen(true);
    termios line = peer.SlaveTermios();
    EXPECT_EQ(cfgetospeed(&line), B19200);
    EXPECT_EQ(cfgetispeed(&line), B19200);
    EXPECT_EQ(line.c_cflag & CSTOPB, 0U);

    control.SetPortOpen(false);
    control.SetSettings("57600,N,8,2");
    control.SetPortOpen(true);
    line = peer.SlaveTermios();
    EXPECT_EQ(cfgetospeed(&line), B57600);
    EXPECT_NE(line.c_cflag & CSTOPB, 0U);
}

TEST_F(ControlSettings, SettingsWrittenWhileOpenReachTheDeviceAtOnce)
{
    control.SetPortOpen(true);
    control.SetSettings("38400,N,8,1");
    termios line = peer.SlaveTermios();
    EXPECT_EQ(cfgetospeed(&line), B38400);
}

TEST_F(ControlSettings, RefusesABadSettingsStringAndKeepsTheLastGoodOne)
{
    control.SetSettings("19200,N,8,1");
    for (const char* bad : {"19200,X,8,1", "19200,N,4,1", "19200,N,8,3", "fast,N,8,1", ",N,8,1",
                            "19200,N,8,1.5"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(control.SetSettings(bad), CommControlError);
    }
    control.SetPortOpen(true);
    EXPECT_THROW(control.SetSettings("57600,Q,8,1"), CommControlError);
    termios line = peer.SlaveTermios();
    EXPECT_EQ(cfgetospeed(&line), B19200);
}

struct HandshakeCase {
    std::int32_t handshaking;
    bool rtsCts;
    bool xonXoff;
};

TEST_F(ControlSettings, HandshakingSetsTheDevicesFlowControl)
{
    // 3 asks for both; RTS/CTS alone is what the device can be given.
    const HandshakeCase cases[] = {{0, false, false}, {1, false, true}, {2, true, false}, {3, true, false}};
    for (const HandshakeCase& handshake : cases) {
        SCOPED_TRACE(handshake.handshaking);
        control.SetHandshaking(handshake.handshaking);
        control.SetPortOpen(true);
        const termios line = peer.SlaveTermios();
        EXPECT_EQ((line.c_cflag & CRTSCTS) != 0, handshake.rtsCts);
        EXPECT_EQ((line.c_iflag & IXOFF) != 0, handshake.xonXoff);
        EXPECT_EQ((line.c_iflag & IXON) != 0, handshake.xonXoff);
        control.SetPortOpen(false);
    }
}

TEST_F(ControlSettings, PropertiesWrittenWhileClosedTakeEffectWhenThePortOpens)
{
    control.SetSettings("57600,N,8,2");
    control.SetHandshaking(1);
    control.SetRThreshold(3);
    control.SetInputLen(2);
    control.SetNullDiscard(true);
    control.SetRTSEnable(true);
    control.SetDTREnable(true);
    control.SetPortOpen(true);

    const termios line = peer.SlaveTermios();
    EXPECT_EQ(cfgetospeed(&line), B57600);
    EXPECT_NE(line.c_iflag & IXOFF, 0U);
    peer.Write(std::string("a\0bc", 4));
    AwaitEvents(1);
    EXPECT_EQ(events, (std::vector<std::int16_t>{comm_event::kReceive}));
    EXPECT_EQ(control.GetInput(), BytesOf("ab"));
    EXPECT_EQ(control.GetInput(), BytesOf("c"));
}

} // namespace
} // namespace tavex::test
