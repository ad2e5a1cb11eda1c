// One port, one user: a second control or another program on the same
// device is refused, never given a share of the bytes.

#include "control_fixture.h"

#include "serial/posix/port_lock_files.h"

#include <fstream>
#include <string>
#include "support/scratch_directory.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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
    try {
        second.SetPortOpen(true);
        ADD_FAILURE() << "a second control opened the device";
    } catch (const CommControlError& error) {
        EXPECT_NE(std::string(error.what()).find(": in use by another program (process " + std::to_string(::getpid())),
                  std::string::npos)
            << error.what();
    }
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

// A lock file Qt cannot take is told for what it is: Qt itself says
// "Permission error while locking the device" for every cause.
TEST_F(ControlClaim, AForeignLockFileInTheWayIsToldForWhatItIs)
{
    const std::string lock = "/var/lock/" + LockFileName(peer.SlaveDevice().toStdString());
    {
        std::ofstream file(lock);
        file << "not a process\n";
        if (!file) {
            GTEST_SKIP() << "/var/lock cannot be written";
        }
    }
    try {
        control.SetPortOpen(true);
        ADD_FAILURE() << "opened past a lock file";
        control.SetPortOpen(false);
    } catch (const CommControlError& error) {
        EXPECT_NE(std::string(error.what()).find(peer.SlaveDevice().toStdString() +
                                                 ": a lock file this program cannot read, " + lock + ", is in the way"),
                  std::string::npos)
            << error.what();
    }
    ::unlink(lock.c_str());
    EXPECT_NO_THROW(control.SetPortOpen(true));
}

// A device node deep in the folders has a path too long for a lock file
// name: the open is refused with that reason, not with a permission error.
TEST_F(ControlClaim, ADevicePathTooLongForALockFileNameIsRefusedWithThatReason)
{
    struct stat attributes {};
    ASSERT_EQ(::stat(peer.SlaveDevice().toStdString().c_str(), &attributes), 0);
    ScratchDirectory scratch;
    std::string folder = scratch.Path();
    for (int depth = 0; depth < 2; ++depth) {
        folder += "/" + std::string(150, 'd');
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    }
    const std::string node = folder + "/keyboard";
    if (::mknod(node.c_str(), S_IFCHR | 0600, attributes.st_rdev) != 0) {
        GTEST_SKIP() << "making a device node needs CAP_MKNOD";
    }
    QtCommControl deep(QString::fromStdString(node));
    try {
        deep.SetPortOpen(true);
        ADD_FAILURE() << "a lock file of " << LockFileName(node).size() << " characters was made";
    } catch (const CommControlError& error) {
        EXPECT_NE(std::string(error.what()).find(node + ": the name of its lock file ("), std::string::npos)
            << error.what();
    }
}

} // namespace
} // namespace tavex::test
