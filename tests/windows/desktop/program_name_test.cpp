// The caption of the program's message boxes, and the file dialog's filter.

#include "gui/win32/main_window.h"
#include "gui/win32/program_name.h"
#include "gui/win32/tavexdl_app.h"
#include "text/string_table.h"

#include <gtest/gtest.h>

namespace tavex::test {
namespace {

TEST(ProgramName, IsTheFileNameWithoutDirectoryAndExtension)
{
    const struct {
        const wchar_t* path;
        const wchar_t* name;
    } cases[] = {
        {L"C:\\Program Files\\Tavex\\tavexdl.exe", L"tavexdl"},
        {L"tavexdl.exe", L"tavexdl"},
        {L"C:\\Tools\\TavexDL.EXE", L"TavexDL"},
        {L"C:\\Tools\\tavex.dl.exe", L"tavex.dl"},
        {L"C:\\dotted.dir\\program", L"program"},
        {L"Z:/home/op/build/tavexdl.exe", L"tavexdl"},
        {L"\\\\?\\C:\\very\\long\\path\\tavexdl.exe", L"tavexdl"},
        {L"C:tavexdl.exe", L"tavexdl"},
        {L"C:\\Tools\\.hidden", L".hidden"},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(Utf8FromWide(entry.path));
        EXPECT_EQ(Utf8FromWide(ProgramNameFromPath(entry.path)), Utf8FromWide(entry.name));
    }
}

TEST(ProgramName, OfThisProcessIsItsExecutable)
{
    EXPECT_EQ(Utf8FromWide(ProgramName()), "tavex_win32_desktop_tests");
}

// Wine, like every Windows the program runs on, is of the NT family: writes
// go without RTS framing.
TEST(Platform, IsOfTheNtFamily) { EXPECT_TRUE(QueryNtPlatform()); }

TEST(FileDialogFilter, TurnsEachBarIntoANulAndEndsInTwo)
{
    using namespace std::string_literals;
    EXPECT_EQ(FileDialogFilter(StringText<string_id::kFileFilter>),
              L"s20 Files (*.s20)\0*.s20\0s19 Files (*.s19)\0*.s19\0All Files (*.*)\0*.*\0\0\0\0"s);
    EXPECT_EQ(FileDialogFilter("A|*.a"), L"A\0*.a\0\0"s);
}

} // namespace
} // namespace tavex::test
