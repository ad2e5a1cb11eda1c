// The class registry entries of "TavexDL.Application", written to a scratch
// key and read back, and refreshed for this program in the user's and the
// machine's classes.

#include "automation_support.h"
#include "gui/win32/automation/automation_server.h"
#include "gui/win32/automation/class_registration.h"

#include <gtest/gtest.h>

#include <string>

namespace tavex {
namespace {

using test::ReadDefaultValue;
using test::RemoveClassEntries;

const std::wstring kClassIdText = L"{5B3C2A71-9E4D-4F0B-8C21-6D7A3E9B1F42}";

struct Entry {
    std::wstring key;
    std::wstring value;
};

std::vector<Entry> ExpectedEntries(const std::wstring& command)
{
    return {
        {L"TavexDL.Application", L"TavexDL.Application"},
        {L"TavexDL.Application\\CLSID", kClassIdText},
        {L"CLSID\\" + kClassIdText, L"TavexDL.Application"},
        {L"CLSID\\" + kClassIdText + L"\\ProgID", L"TavexDL.Application"},
        {L"CLSID\\" + kClassIdText + L"\\LocalServer32", command},
    };
}

void ExpectEntries(HKEY classes, const std::wstring& command)
{
    for (const Entry& entry : ExpectedEntries(command)) {
        SCOPED_TRACE(Utf8FromWide(entry.key));
        EXPECT_EQ(ReadDefaultValue(classes, entry.key), entry.value);
    }
}

// A key of this process's own under HKEY_CURRENT_USER, laid out as classes.
struct ScratchClasses : testing::Test {
    ScratchClasses()
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &classes, nullptr);
    }
    ~ScratchClasses() override
    {
        RegCloseKey(classes);
        RegDeleteTreeW(HKEY_CURRENT_USER, name.c_str());
    }

    std::wstring name = L"Software\\TavexDL tests " + std::to_wstring(GetCurrentProcessId());
    HKEY classes = nullptr;
};

using AutomationClassEntries = ScratchClasses;

TEST_F(AutomationClassEntries, NameTheClassItsProgIdAndItsLocalServer)
{
    ASSERT_NE(classes, nullptr);
    EXPECT_EQ(ClassIdText(kAutomationClassId), kClassIdText);
    const std::wstring command = LocalServerCommand(L"C:\\Program Files\\TavexDL\\tavexdl.exe");
    EXPECT_EQ(command, L"\"C:\\Program Files\\TavexDL\\tavexdl.exe\"");
    ASSERT_TRUE(WriteClassEntries(classes, command));
    ExpectEntries(classes, command);

    // Written again from elsewhere, the server's command is replaced.
    const std::wstring moved = LocalServerCommand(L"D:\\Tools\\tavexdl.exe");
    ASSERT_TRUE(WriteClassEntries(classes, moved));
    ExpectEntries(classes, moved);
}

TEST(AutomationClassEntriesRefused, AreReportedUnwritten)
{
    // Wine lets a key opened only for reading take new subkeys, so the
    // refusal here is the system's for a key that is none.
    EXPECT_FALSE(WriteClassEntries(nullptr, LocalServerCommand(L"C:\\tavexdl.exe")));
}

TEST(AutomationRefresh, NamesThisProgramAsTheServerForTheUserAndTheMachine)
{
    const std::wstring path = OwnProgramPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.find(L':'), 1u) << Utf8FromWide(path);  // a full path, drive and all
    EXPECT_NE(path.find(L"tavex_automation_tests.exe"), std::wstring::npos) << Utf8FromWide(path);

    RefreshClassEntries();
    // Under wine the machine's classes may be written; they are what wine's
    // class lookup reads.
    const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
    for (HKEY root : roots) {
        SCOPED_TRACE(root == HKEY_CURRENT_USER ? "user" : "machine");
        HKEY classes = nullptr;
        ASSERT_EQ(RegOpenKeyExW(root, L"Software\\Classes", 0, KEY_ALL_ACCESS, &classes), ERROR_SUCCESS);
        ExpectEntries(classes, LocalServerCommand(path));
        RemoveClassEntries(classes);
        RegCloseKey(classes);
    }
}

} // namespace
} // namespace tavex
