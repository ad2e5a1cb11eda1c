#include "serial/posix/port_lock_files.h"

#include "serial/posix/lock_failure.h"

#include "support/scratch_directory.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
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

// What a lock file in the way is: a live one wins over any other.
TEST(PortLockFiles, AreFoundHeldStaleOrForeign)
{
    test::ScratchDirectory first;
    test::ScratchDirectory second;
    const std::vector<std::string> folders = {first.Path(), second.Path()};
    const long ended = EndedProcess();
    EXPECT_EQ(FindLockFile("/dev/ttyUSB0", folders), std::nullopt);

    first.Write("LCK..ttyUSB0", "garbage\n");
    std::optional<LockFileState> lock = FindLockFile("/dev/ttyUSB0", folders);
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock->kind, LockFileState::Kind::Foreign);
    EXPECT_EQ(lock->path, first.Path() + "/LCK..ttyUSB0");

    first.Write("LCK..ttyUSB0", "    " + std::to_string(ended) + "\n");
    lock = FindLockFile("/dev/ttyUSB0", folders);
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock->kind, LockFileState::Kind::Stale);
    EXPECT_EQ(lock->pid, ended);

    second.Write("LCK..ttyUSB0", std::to_string(::getpid()) + "\n");
    lock = FindLockFile("/dev/ttyUSB0", folders);
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock->kind, LockFileState::Kind::Held);
    EXPECT_EQ(lock->path, second.Path() + "/LCK..ttyUSB0");
}

// The reasons a port's open gives for a lock file it cannot take.
TEST(PortLockFiles, AFailedLockIsToldByWhatIsInTheWay)
{
    test::ScratchDirectory locks;
    const std::vector<std::string> folders = {locks.Path()};
    const std::string path = locks.Path() + "/LCK..ttyUSB0";
    const std::string mine = std::to_string(::getpid());
    const std::string ended = std::to_string(EndedProcess());
    struct Case {
        std::string content;  // of the lock file; none when empty
        std::string reason;
    };
    // Each is the user's to clear, as a device in use would be.
    for (const Case& c : {
             Case{mine + "\ntavexdl\nhost\n", "in use by another program (process " + mine + " holds " + path + ")"},
             Case{"    " + ended + "\n", "a stale lock file, " + path + ", names process " + ended +
                                           ", which has ended; remove it if no program uses the device"},
             Case{"garbage\n", "a lock file this program cannot read, " + path +
                                   ", is in the way; remove it if no program uses the device"},
         }) {
        locks.Write("LCK..ttyUSB0", c.content);
        const std::optional<SystemReason> reason = LockFailureReason("/dev/ttyUSB0", folders);
        ASSERT_TRUE(reason.has_value());
        EXPECT_EQ(reason->text, c.reason);
        EXPECT_EQ(reason->category, ErrorCategory::kInUse);
    }
    ::unlink(path.c_str());
    EXPECT_FALSE(LockFailureReason("/dev/ttyUSB0", folders).has_value()) << "no lock file: Qt's own text stands";
    const std::string longDevice = "/dev/" + std::string(300, 'x');
    const std::optional<SystemReason> tooLong = LockFailureReason(longDevice, folders);
    ASSERT_TRUE(tooLong.has_value());
    EXPECT_EQ(tooLong->text, "the name of its lock file (305 characters) is longer than the system allows (255)");
    EXPECT_EQ(tooLong->category, ErrorCategory::kUnsupported);
}

// Out of descriptors, no lock file can even be made; that is said, in a
// child whose limit is its descriptors in use.
TEST(PortLockFiles, ALockThatFailsForWantOfDescriptorsSaysSo)
{
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        const rlimit limit{static_cast<rlim_t>(lowestFree), static_cast<rlim_t>(lowestFree)};
        ::setrlimit(RLIMIT_NOFILE, &limit);
        const std::optional<SystemReason> found = LockFailureReason("/dev/ttyUSB0", {});
        const std::string reason = found && found->category == ErrorCategory::kTooManyOpenFiles ? found->text : "none";
        const bool written = ::write(channel[1], reason.data(), reason.size()) == static_cast<ssize_t>(reason.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(channel[1]);
    std::string reason;
    char piece[256];
    for (ssize_t got = 0; (got = ::read(channel[0], piece, sizeof piece)) > 0;) {
        reason.append(piece, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(reason, "no file descriptor is left for its lock file (Too many open files)");
}

} // namespace
} // namespace tavex
