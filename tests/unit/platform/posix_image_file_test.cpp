#include "platform/posix_image_file.h"

#include "support/scratch_directory.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavex {
namespace {

class PosixImageFileTest : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) { return scratch_.Write(name, bytes); }

    test::ScratchDirectory scratch_;
    const std::string& directory_ = scratch_.Path();
    PosixImageFiles files_;
};

TEST_F(PosixImageFileTest, ServesEveryByteInAnyPieceSizeAcrossItsBuffer)
{
    std::string bytes(200'000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 31 % 251);
    }
    OpenedFile opened = files_.Open(Write("big.s19", bytes));
    ASSERT_EQ(opened.status, OpenedFile::Status::Opened);
    EXPECT_EQ(opened.length, bytes.size());

    std::string served;
    std::uint8_t piece[46];
    for (std::size_t size = 1;; size = size % 46 + 1) {
        const std::size_t got = opened.file->Read(piece, size);
        served.append(reinterpret_cast<const char*>(piece), got);
        if (got < size) {
            break;
        }
    }
    EXPECT_EQ(served, bytes);
    EXPECT_FALSE(opened.file->ReadFailed());
    EXPECT_EQ(opened.file->Read(piece, 2), 0U);
}

TEST_F(PosixImageFileTest, TellsAMissingFileFromOneThatCannotBeOpened)
{
    EXPECT_EQ(files_.Open(directory_ + "/missing.s19").status, OpenedFile::Status::NotFound);
    EXPECT_EQ(files_.Open(directory_).status, OpenedFile::Status::CannotOpen);

    const std::string fifo = directory_ + "/pipe.s19";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(files_.Open(fifo).status, OpenedFile::Status::CannotOpen);  // and does not block

    const std::string locked = Write("locked.s19", "S804FFFFFFFE\r\n");
    const int holder = ::open(locked.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(files_.Open(locked).status, OpenedFile::Status::CannotOpen);
    ::close(holder);
    EXPECT_EQ(files_.Open(locked).status, OpenedFile::Status::Opened);
}

TEST_F(PosixImageFileTest, HoldsTheFileForItselfUntilReleased)
{
    const std::string path = Write("held.s20", "#schema 1\r\n");
    OpenedFile first = files_.Open(path);
    ASSERT_EQ(first.status, OpenedFile::Status::Opened);
    EXPECT_EQ(files_.Open(path).status, OpenedFile::Status::CannotOpen);
    first.file.reset();
    EXPECT_EQ(files_.Open(path).status, OpenedFile::Status::Opened);
}

} // namespace
} // namespace tavex
