// What the Win32 control refuses and keeps without a device behind it, the
// notifications' delivery, and its host.

#include "message_pump.h"
#include "serial/win32/port_claim.h"
#include "serial/win32/win32_comm_control.h"
#include "serial/win32/win32_comm_control_host.h"
#include "serial/win32/win32_comm_notifier.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace tavex {
namespace {

using namespace std::chrono_literals;
using test::PumpMessagesFor;
using test::PumpMessagesUntil;

struct Operation {
    const char* name;
    std::function<void(Win32CommControl&)> run;
};

TEST(Win32ControlRules, RefusesValuesOutsideEachPropertysRange)
{
    Win32CommControl control;
    const Operation cases[] = {
        {"CommPort 0", [](Win32CommControl& c) { c.SetCommPort(0); }},
        {"CommPort 17", [](Win32CommControl& c) { c.SetCommPort(17); }},
        {"CommPort -1", [](Win32CommControl& c) { c.SetCommPort(-1); }},
        {"Settings", [](Win32CommControl& c) { c.SetSettings("19200,N,9,1"); }},
        {"Handshaking 4", [](Win32CommControl& c) { c.SetHandshaking(4); }},
        {"Handshaking -1", [](Win32CommControl& c) { c.SetHandshaking(-1); }},
        {"InputMode 2", [](Win32CommControl& c) { c.SetInputMode(2); }},
        {"RThreshold -1", [](Win32CommControl& c) { c.SetRThreshold(-1); }},
        {"InputLen -1", [](Win32CommControl& c) { c.SetInputLen(-1); }},
        {"SThreshold -1", [](Win32CommControl& c) { c.SetSThreshold(-1); }},
        {"InBufferSize 0", [](Win32CommControl& c) { c.SetInBufferSize(0); }},
        {"OutBufferSize -512", [](Win32CommControl& c) { c.SetOutBufferSize(-512); }},
        {"ParityReplace of two", [](Win32CommControl& c) { c.SetParityReplace("??"); }},
        {"Output while closed", [](Win32CommControl& c) { c.SetOutput({0x06}); }},
        {"Input while closed", [](Win32CommControl& c) { c.GetInput(); }},
    };
    for (const Operation& operation : cases) {
        SCOPED_TRACE(operation.name);
        EXPECT_THROW(operation.run(control), CommControlError);
    }
    EXPECT_NO_THROW(control.SetCommPort(1));
    EXPECT_NO_THROW(control.SetCommPort(16));
    EXPECT_NO_THROW(control.SetPortOpen(false));
    EXPECT_FALSE(control.GetPortOpen());
}

TEST(Win32ControlRules, KeepsWhatIsWrittenWhileClosed)
{
    Win32CommControl control;
    const Operation cases[] = {
        {"Settings", [](Win32CommControl& c) { c.SetSettings("57600,E,7,1.5"); }},
        {"Handshaking", [](Win32CommControl& c) { c.SetHandshaking(3); }},
        {"buffer sizes",
         [](Win32CommControl& c) {
             c.SetInBufferSize(2048);
             c.SetOutBufferSize(1024);
         }},
        {"modem lines",
         [](Win32CommControl& c) {
             c.SetRTSEnable(true);
             c.SetDTREnable(true);
         }},
        {"thresholds",
         [](Win32CommControl& c) {
             c.SetRThreshold(1);
             c.SetSThreshold(1);
             c.SetInputLen(3);
         }},
    };
    for (const Operation& operation : cases) {
        SCOPED_TRACE(operation.name);
        EXPECT_NO_THROW(operation.run(control));
    }
}

TEST(Win32ControlDevice, ComesFromTheComNumberOrTheDevicePath)
{
    Win32CommControl control;
    EXPECT_EQ(control.DeviceName(), R"(\\.\COM1)");
    control.SetCommPort(12);
    EXPECT_EQ(control.DeviceName(), R"(\\.\COM12)");
    control.SetDevicePath("com7");
    EXPECT_EQ(control.DeviceName(), R"(\\.\COM7)");
    control.SetDevicePath("");
    EXPECT_EQ(control.DeviceName(), R"(\\.\COM12)");
    EXPECT_EQ(Win32CommControl("COM3").DeviceName(), R"(\\.\COM3)");
    EXPECT_EQ(Win32CommControl(R"(\\.\pipe\elsewhere)").DeviceName(), R"(\\.\pipe\elsewhere)");
}

// COM250 is no port of this machine's, nor of any wine prefix's.
TEST(Win32ControlDevice, AMissingPortGivesItsReasonAndStaysClosed)
{
    Win32CommControl control("COM250");
    try {
        control.SetPortOpen(true);
        FAIL() << "a missing port opened";
    } catch (const CommControlError& error) {
        const std::string message = error.what();
        const std::string prefix = R"(\\.\COM250: )";
        ASSERT_EQ(message.substr(0, prefix.size()), prefix);
        const std::string reason = message.substr(prefix.size());
        EXPECT_EQ(reason, "No such file or directory") << "in the Linux port's words";
    }
    EXPECT_FALSE(control.GetPortOpen());
}

TEST(PortClaim, HoldsADeviceAgainstEveryOtherClaimUntilReleased)
{
    PortClaim first;
    PortClaim second;
    PortClaim other;
    EXPECT_EQ(first.Claim(R"(\\.\COM249)"), PortClaimResult::kClaimed);
    EXPECT_EQ(second.Claim(R"(\\.\COM249)"), PortClaimResult::kHeldElsewhere);
    EXPECT_EQ(other.Claim(R"(\\.\COM248)"), PortClaimResult::kClaimed);
    first.Release();
    EXPECT_EQ(second.Claim(R"(\\.\COM249)"), PortClaimResult::kClaimed);
    EXPECT_EQ(PortClaimName(R"(\\.\COM1)"), L"Global\\TavexDL.port.//./COM1");
}

struct NotifierFixture : testing::Test {
    static constexpr UINT kDeliver = MessageWindow::kFirstMessage;

    MessageWindow window{[this](UINT message, WPARAM) {
        if (message == kDeliver) {
            notifier.DeliverPending();
        }
    }};
    bool receiveStillDue = true;
    Win32CommNotifier notifier{window, kDeliver, [this](std::int16_t commEvent) {
                                   return commEvent != comm_event::kReceive || receiveStillDue;
                               }};
    std::vector<std::int16_t> delivered;
};

TEST_F(NotifierFixture, DeliversFromTheMessageLoopOnlyEachWaitingEventOnce)
{
    notifier.SetOnComm([this] { delivered.push_back(notifier.LastEvent()); });
    notifier.Raise(comm_event::kReceive);
    notifier.Raise(comm_event::kFrame);
    notifier.Raise(comm_event::kReceive);
    EXPECT_TRUE(delivered.empty()) << "delivered inside Raise";
    PumpMessagesFor(50ms);
    EXPECT_EQ(delivered, (std::vector<std::int16_t>{comm_event::kReceive, comm_event::kFrame}));

    receiveStillDue = false;  // the bytes were taken before the turn came
    notifier.Raise(comm_event::kReceive);
    PumpMessagesFor(50ms);
    EXPECT_EQ(delivered.size(), 2U);
}

// A handler that runs a message loop of its own (a modal message box) gets
// the next notification only once it has returned.
TEST_F(NotifierFixture, NeverNestsAHandlerThatPumpsMessagesInItsOwnCall)
{
    int depth = 0;
    int deepest = 0;
    notifier.SetOnComm([&] {
        ++depth;
        deepest = std::max(deepest, depth);
        delivered.push_back(notifier.LastEvent());
        if (notifier.LastEvent() == comm_event::kReceive) {
            notifier.Raise(comm_event::kEof);
            PumpMessagesFor(30ms);
        }
        --depth;
    });
    notifier.Raise(comm_event::kReceive);
    PumpMessagesFor(100ms);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(delivered, (std::vector<std::int16_t>{comm_event::kReceive, comm_event::kEof}));
}

TEST(Win32CommControlHost, MakesClosedControlsOnAThreadThatCanHaveWindows)
{
    Win32CommControlHost host;
    EXPECT_TRUE(host.CreateEventReceiver());
    const std::unique_ptr<ICommControl> control = host.CreateControl();
    ASSERT_NE(control, nullptr);
    EXPECT_FALSE(control->GetPortOpen());

    bool madeElsewhere = false;
    std::thread other([&] { madeElsewhere = Win32CommControlHost("COM5").CreateControl() != nullptr; });
    other.join();
    EXPECT_TRUE(madeElsewhere);
}

} // namespace
} // namespace tavex
