#include "cli/host/port_lock_files.h"

#include "support/scratch_directory.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace tavex {
namespace {

TEST(PortLockFiles, AreNamedAfterTheDeviceBelowDev)
{
    EXPECT_EQ(LockFileName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(LockFileName("/dev/pts/3"), "LCK..pts_3");
    EXPECT_EQ(LockFileName("ttyS1"), "LCK..ttyS1");
}

// A process id that no process has: a child's, once it has been reaped.
long EndedProcess()
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(PortLockFiles, OnlyALockOfARunningProcessHoldsTheDevice)
{
    test::ScratchDirectory empty;
    test::ScratchDirectory locks;
    const std::string mine = std::to_string(::getpid());
    const std::string ended = std::to_string(EndedProcess());
    const std::vector<std::string> folders = {empty.Path(), locks.Path()};
    // No lock file, then lock files that name no process.
    EXPECT_EQ(LiveLockHolder("/dev/ttyUSB0", folders), std::nullopt);
    for (const std::string& content : {std::string(), std::string("garbage\n"), std::string("-1\n"),
                                       std::string("0\n"), ended + "\n"}) {
        locks.Write("LCK..ttyUSB0", content);
        EXPECT_EQ(LiveLockHolder("/dev/ttyUSB0", folders), std::nullopt) << content;
    }
    // HDB UUCP locks pad the id with spaces; Qt's add the program and host.
    for (const std::string& content : {"      " + mine + "\n", mine + "\ntavexdl-cli\nhost\n"}) {
        locks.Write("LCK..ttyUSB0", content);
        EXPECT_EQ(LiveLockHolder("/dev/ttyUSB0", folders), std::stol(mine)) << content;
    }
    EXPECT_EQ(LiveLockHolder("/dev/ttyUSB1", folders), std::nullopt);
}

} // namespace
} // namespace tavex
