// What a pseudo-terminal's driver offers beyond termios: no low-latency
// setting, no line error counts, an output queue that is always empty, but
// locks like any device.

#include "pseudo_terminal.h"
#include "serial/posix/exclusive_claim.h"
#include "serial/posix/linux_serial_ioctl.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace tavex::test {
namespace {

TEST(PseudoTerminalDriver, HasNeitherLowLatencyNorLineErrorCounts)
{
    PseudoTerminal peer;
    const SlaveDescriptor slave(peer);
    EXPECT_FALSE(SetLowLatency(slave.Fd()));
    EXPECT_FALSE(ReadLineErrorCounts(slave.Fd()).has_value());
}

// The bytes pass to the other side at once, read or not: the queue tells a
// close nothing about the wire, which is why it goes by the wire time too.
TEST(PseudoTerminalDriver, ReportsItsOutputQueueEmptyWithBytesUnreadOnTheOtherSide)
{
    PseudoTerminal peer;
    const SlaveDescriptor slave(peer);
    ASSERT_EQ(::write(slave.Fd(), "\x06\x01\x02", 3), 3);
    EXPECT_EQ(OutputQueueBytes(slave.Fd()), std::optional<std::size_t>(0));
    EXPECT_EQ(peer.ReadWithoutEvents(3, std::chrono::seconds(2)), "\x06\x01\x02");
}

TEST(OutputQueueBytes, IsEmptyForADescriptorThatIsNoTerminal)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    EXPECT_FALSE(OutputQueueBytes(ends[1]).has_value());
    ::close(ends[0]);
    ::close(ends[1]);
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
