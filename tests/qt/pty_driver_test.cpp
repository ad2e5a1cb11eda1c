// What a pseudo-terminal's driver offers beyond termios: no low-latency
// setting, no line error counts, but locks like any device.

#include "pseudo_terminal.h"
#include "serial/qt/exclusive_claim.h"
#include "serial/qt/linux_serial_ioctl.h"

#include <gtest/gtest.h>

namespace tavex::test {
namespace {

TEST(PseudoTerminalDriver, HasNeitherLowLatencyNorLineErrorCounts)
{
    PseudoTerminal peer;
    const SlaveDescriptor slave(peer);
    EXPECT_FALSE(SetLowLatency(slave.Fd()));
    EXPECT_FALSE(ReadLineErrorCounts(slave.Fd()).has_value());
}

TEST(ClaimExclusively, GivesTheDeviceToOneHandleAtATime)
{
    PseudoTerminal peer;
    const SlaveDescriptor second(peer);
    {
        const SlaveDescriptor first(peer);
        EXPECT_EQ(ClaimExclusively(first.Fd()), ClaimResult::kClaimed);
        EXPECT_EQ(ClaimExclusively(second.Fd()), ClaimResult::kHeldElsewhere);
    }
    EXPECT_EQ(ClaimExclusively(second.Fd()), ClaimResult::kClaimed);
}

} // namespace
} // namespace tavex::test
