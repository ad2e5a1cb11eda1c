// What every system's image files do; each system's own cases are in
// posix/ and win32/.

#include "platform/system_image_files.h"

#include "support/scratch_directory.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

class SystemImageFilesTest : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) { return scratch_.Write(name, bytes); }

    test::ScratchDirectory scratch_;
    const std::string& directory_ = scratch_.Path();
    SystemImageFiles files_;
};

TEST_F(SystemImageFilesTest, ServesEveryByteInAnyPieceSizeAcrossItsBuffer)
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

TEST_F(SystemImageFilesTest, TellsAMissingFileFromOneThatCannotBeOpened)
{
    const OpenedFile missing = files_.Open(directory_ + "/missing.s19");
    EXPECT_EQ(missing.status, OpenedFile::Status::NotFound);
    EXPECT_FALSE(missing.reason.empty());
    EXPECT_EQ(missing.category, ErrorCategory::kNotFound);
    EXPECT_EQ(files_.Open(directory_ + "/no-folder/x.s19").status, OpenedFile::Status::NotFound);
    const OpenedFile folder = files_.Open(directory_);
    EXPECT_EQ(folder.status, OpenedFile::Status::CannotOpen);
    EXPECT_FALSE(folder.reason.empty());
}

TEST_F(SystemImageFilesTest, HoldsTheFileForItselfUntilReleased)
{
    const std::string path = Write("held.s20", "#schema 1\r\n");
    OpenedFile first = files_.Open(path);
    ASSERT_EQ(first.status, OpenedFile::Status::Opened);
    const OpenedFile refused = files_.Open(path);
    EXPECT_EQ(refused.status, OpenedFile::Status::CannotOpen);
    EXPECT_EQ(refused.reason, "in use by another program");
    EXPECT_EQ(refused.category, ErrorCategory::kInUse);
    first.file.reset();
    EXPECT_EQ(files_.Open(path).status, OpenedFile::Status::Opened);
}

// Several downloads of one image read it side by side; a download of its
// own is kept out meanwhile.
TEST_F(SystemImageFilesTest, SharedReadersKeepAnExclusiveOneOut)
{
    const std::string path = Write("shared.s19", "S804FFFFFFFE\r\n");
    SystemImageFiles shared(SystemImageFiles::Sharing::SharedAmongReaders);
    OpenedFile first = shared.Open(path);
    OpenedFile second = shared.Open(path);
    ASSERT_EQ(first.status, OpenedFile::Status::Opened);
    EXPECT_EQ(second.status, OpenedFile::Status::Opened);
    EXPECT_EQ(files_.Open(path).status, OpenedFile::Status::CannotOpen);
}

} // namespace
} // namespace tavex
