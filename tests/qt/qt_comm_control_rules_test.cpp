// What the control refuses, and what it accepts although the device cannot
// do it.

#include "control_fixture.h"

#include <functional>

namespace tavex::test {
namespace {

using ControlRules = ControlFixture;

struct Operation {
    const char* name;
    std::function<void(QtCommControl&)> run;
};

TEST_F(ControlRules, OutputAndInputNeedAnOpenPort)
{
    const Operation cases[] = {
        {"Output", [](QtCommControl& c) { c.SetOutput(BytesOf("\x06")); }},
        {"Input", [](QtCommControl& c) { c.GetInput(); }},
    };
    for (const Operation& operation : cases) {
        SCOPED_TRACE(operation.name);
        EXPECT_THROW(operation.run(control), CommControlError);
    }
}

TEST_F(ControlRules, RefusesToChangeThePortOrItsBuffersWhileOpen)
{
    control.SetPortOpen(true);
    const Operation cases[] = {
        {"CommPort", [](QtCommControl& c) { c.SetCommPort(2); }},
        {"InBufferSize", [](QtCommControl& c) { c.SetInBufferSize(2048); }},
        {"OutBufferSize", [](QtCommControl& c) { c.SetOutBufferSize(1024); }},
        {"device path", [](QtCommControl& c) { c.SetDevicePath(QStringLiteral("/dev/ttyS1")); }},
        {"opening again", [](QtCommControl& c) { c.SetPortOpen(true); }},
    };
    for (const Operation& operation : cases) {
        SCOPED_TRACE(operation.name);
        EXPECT_THROW(operation.run(control), CommControlError);
    }
    EXPECT_TRUE(control.GetPortOpen());
}

TEST_F(ControlRules, RefusesValuesOutsideEachPropertysRange)
{
    const Operation cases[] = {
        {"CommPort 0", [](QtCommControl& c) { c.SetCommPort(0); }},
        {"CommPort 17", [](QtCommControl& c) { c.SetCommPort(17); }},
        {"CommPort -1", [](QtCommControl& c) { c.SetCommPort(-1); }},
        {"Handshaking 4", [](QtCommControl& c) { c.SetHandshaking(4); }},
        {"Handshaking -1", [](QtCommControl& c) { c.SetHandshaking(-1); }},
        {"InputMode 2", [](QtCommControl& c) { c.SetInputMode(2); }},
        {"RThreshold -1", [](QtCommControl& c) { c.SetRThreshold(-1); }},
        {"InputLen -1", [](QtCommControl& c) { c.SetInputLen(-1); }},
        {"SThreshold -1", [](QtCommControl& c) { c.SetSThreshold(-1); }},
        {"InBufferSize 0", [](QtCommControl& c) { c.SetInBufferSize(0); }},
        {"OutBufferSize -512", [](QtCommControl& c) { c.SetOutBufferSize(-512); }},
        {"ParityReplace of two", [](QtCommControl& c) { c.SetParityReplace("??"); }},
    };
    for (const Operation& operation : cases) {
        SCOPED_TRACE(operation.name);
        EXPECT_THROW(operation.run(control), CommControlError);
    }
    EXPECT_NO_THROW(control.SetCommPort(1));
    EXPECT_NO_THROW(control.SetCommPort(16));
}

TEST_F(ControlRules, ClosingAClosedPortIsNoError)
{
    EXPECT_NO_THROW(control.SetPortOpen(false));
    EXPECT_FALSE(control.GetPortOpen());
}

// A pseudo-terminal has no modem lines; RTS under RTS/CTS handshaking is the
// driver's. Neither may fail a write nor the open.
TEST_F(ControlRules, AcceptsModemLineWritesTheDeviceCannotCarryOut)
{
    for (const std::int32_t handshaking : {0, 1, 2, 3}) {
        SCOPED_TRACE(handshaking);
        control.SetHandshaking(handshaking);
        control.SetRTSEnable(true);
        control.SetDTREnable(true);
        ASSERT_NO_THROW(control.SetPortOpen(true));
        EXPECT_NO_THROW(control.SetRTSEnable(false));
        EXPECT_NO_THROW(control.SetRTSEnable(true));
        EXPECT_NO_THROW(control.SetDTREnable(false));
        EXPECT_NO_THROW(control.SetHandshaking(handshaking == 2 ? 0 : 2));
        control.SetOutput(BytesOf("\x06"));
        EXPECT_EQ(peer.ReadWithoutEvents(1, std::chrono::seconds(1)), "\x06");
        control.SetPortOpen(false);
    }
}

} // namespace
} // namespace tavex::test
