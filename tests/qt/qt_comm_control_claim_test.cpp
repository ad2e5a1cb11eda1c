// One port, one user: a second control or another program on the same
// device is refused, never given a share of the bytes.

#include "control_fixture.h"

#include <sys/file.h>

namespace tavex::test {
namespace {

using ControlClaim = ControlFixture;

// The slave device opened and claimed the way another program would.
class OtherProgram {
public:
    explicit OtherProgram(const PseudoTerminal& peer) : device_(peer) {}
    bool Claim() const { return ::flock(device_.Fd(), LOCK_EX | LOCK_NB) == 0; }

private:
    SlaveDescriptor device_;
};

TEST_F(ControlClaim, ASecondControlOnTheSameDeviceCannotOpenIt)
{
    control.SetRThreshold(1);
    control.SetPortOpen(true);
    QtCommControl second(peer.SlaveDevice());
    EXPECT_THROW(second.SetPortOpen(true), CommControlError);
    EXPECT_FALSE(second.GetPortOpen());

    peer.Write("\x06\x01");
    AwaitEvents(1);
    EXPECT_EQ(control.GetInput(), BytesOf("\x06\x01"));

    control.SetPortOpen(false);
    EXPECT_NO_THROW(second.SetPortOpen(true));
}

TEST_F(ControlClaim, APortHeldByAnotherProgramStaysClosed)
{
    {
        OtherProgram other(peer);
        ASSERT_TRUE(other.Claim());
        EXPECT_THROW(control.SetPortOpen(true), CommControlError);
        EXPECT_FALSE(control.GetPortOpen());
    }
    EXPECT_NO_THROW(control.SetPortOpen(true));
}

TEST_F(ControlClaim, AnOpenPortKeepsOtherProgramsOffUntilItCloses)
{
    control.SetPortOpen(true);
    EXPECT_FALSE(OtherProgram(peer).Claim());
    control.SetPortOpen(false);
    EXPECT_TRUE(OtherProgram(peer).Claim());
}

} // namespace
} // namespace tavex::test
