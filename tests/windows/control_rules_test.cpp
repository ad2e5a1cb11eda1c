// The Win32 control's devices and claims without a keyboard behind them, and
// its host.

#include "serial/win32/port_claim.h"
#include "serial/win32/comm_control.h"
#include "serial/win32/comm_control_host.h"

#include <gtest/gtest.h>

#include <thread>

namespace tavex {
namespace {

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
