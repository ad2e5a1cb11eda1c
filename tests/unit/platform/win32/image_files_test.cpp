// The image files' own cases on Windows: other programs' handles, with the
// sharing each allows.

#include "platform/system_image_files.h"
#include "platform/win32/windows_api.h"

#include "support/scratch_directory.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

// Another program's handle on the file, with the sharing it allows.
HANDLE Hold(const std::string& path, DWORD access, DWORD share)
{
    return CreateFileW(WideFromUtf8(path).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Exclusive both ways: a program that has the file open keeps the download
// out, and a download keeps every other program out.
TEST(Win32ImageFiles, AnotherProgramsHandleAndADownloadKeepEachOtherOut)
{
    const test::ScratchDirectory scratch;
    SystemImageFiles files;
    const std::string path = scratch.Write("held.s20", "#schema 1\r\n");
    HANDLE reader = Hold(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    const OpenedFile refused = files.Open(path);
    EXPECT_EQ(refused.status, OpenedFile::Status::CannotOpen);
    EXPECT_EQ(refused.reason, "in use by another program");
    CloseHandle(reader);

    OpenedFile first = files.Open(path);
    ASSERT_EQ(first.status, OpenedFile::Status::Opened);
    EXPECT_EQ(Hold(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE), INVALID_HANDLE_VALUE);
}

// Several downloads of one image read it side by side; nobody writes it
// meanwhile.
TEST(Win32ImageFiles, SharedReadersKeepWritersOut)
{
    const test::ScratchDirectory scratch;
    const std::string path = scratch.Write("shared.s19", "S804FFFFFFFE\r\n");
    SystemImageFiles shared(SystemImageFiles::Sharing::SharedAmongReaders);
    OpenedFile first = shared.Open(path);
    ASSERT_EQ(first.status, OpenedFile::Status::Opened);
    EXPECT_EQ(Hold(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE), INVALID_HANDLE_VALUE);
}

} // namespace
} // namespace tavex
