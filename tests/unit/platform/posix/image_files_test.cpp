// The image files' own cases on POSIX: a FIFO, and another program's lock.

#include "platform/system_image_files.h"

#include "support/scratch_directory.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavex {
namespace {

TEST(PosixImageFiles, RefusesAFifoWithoutBlockingAndAFileAnotherProgramLocked)
{
    const test::ScratchDirectory scratch;
    SystemImageFiles files;
    const std::string fifo = scratch.Path() + "/pipe.s19";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(files.Open(fifo).status, OpenedFile::Status::CannotOpen);  // and does not block

    const std::string locked = scratch.Write("locked.s19", "S804FFFFFFFE\r\n");
    const int holder = ::open(locked.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(files.Open(locked).status, OpenedFile::Status::CannotOpen);
    ::close(holder);
    EXPECT_EQ(files.Open(locked).status, OpenedFile::Status::Opened);
}

} // namespace
} // namespace tavex
