#include "platform/win32_image_file.h"

#include "support/scratch_directory.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

class Win32ImageFileTest : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) { return scratch_.Write(name, bytes); }

    // Another program's handle on the file, with the sharing it allows.
    static HANDLE Hold(const std::string& path, DWORD access, DWORD share)
    {
        return CreateFileW(WideFromUtf8(path).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
    }

    test::ScratchDirectory scratch_;
    const std::string& directory_ = scratch_.Path();
    Win32ImageFiles files_;
};

TEST_F(Win32ImageFileTest, ServesEveryByteInAnyPieceSizeAcrossItsBuffer)
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
}

TEST_F(Win32ImageFileTest, TellsAMissingFileFromOneThatCannotBeOpened)
{
    const OpenedFile missing = files_.Open(directory_ + "/missing.s19");
    EXPECT_EQ(missing.status, OpenedFile::Status::NotFound);
    EXPECT_FALSE(missing.reason.empty());
    EXPECT_EQ(files_.Open(directory_ + "/no-folder/x.s19").status, OpenedFile::Status::NotFound);
    EXPECT_EQ(files_.Open(directory_).status, OpenedFile::Status::CannotOpen);
}

// Exclusive sharing both ways: a program that has the file open keeps the
// download out, and a download keeps every other program out.
TEST_F(Win32ImageFileTest, HoldsTheFileForItselfUntilReleased)
{
    const std::string path = Write("held.s20", "#schema 1\r\n");
    HANDLE reader = Hold(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    const OpenedFile refused = files_.Open(path);
    EXPECT_EQ(refused.status, OpenedFile::Status::CannotOpen);
    EXPECT_EQ(refused.reason, "in use by another program");
    CloseHandle(reader);

    OpenedFile first = files_.Open(path);
    ASSERT_EQ(first.status, OpenedFile::Status::Opened);
    EXPECT_EQ(Hold(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE), INVALID_HANDLE_VALUE);
    EXPECT_EQ(files_.Open(path).status, OpenedFile::Status::CannotOpen);
    first.file.reset();
    EXPECT_EQ(files_.Open(path).status, OpenedFile::Status::Opened);
}

// Several downloads of one image read it side by side; nobody writes it
// meanwhile.
TEST_F(Win32ImageFileTest, SharedReadersKeepWritersOut)
{
    const std::string path = Write("shared.s19", "S804FFFFFFFE\r\n");
    Win32ImageFiles shared(Win32ImageFiles::Sharing::SharedAmongReaders);
    OpenedFile first = shared.Open(path);
    OpenedFile second = shared.Open(path);
    ASSERT_EQ(first.status, OpenedFile::Status::Opened);
    EXPECT_EQ(second.status, OpenedFile::Status::Opened);
    EXPECT_EQ(Hold(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE), INVALID_HANDLE_VALUE);
    EXPECT_EQ(files_.Open(path).status, OpenedFile::Status::CannotOpen);
}

} // namespace
} // namespace tavex
