// The startup reminder's registry setting: what reading makes of every
// kind of stored value, and what writing leaves behind.

#include "gui/reminder_setting.h"
#include "gui/win32/reminder_registry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tavex::test {
namespace {

// A key of the test's own under HKCU, gone before and after each test.
class ScratchKey : public testing::Test {
protected:
    const std::wstring path_ = L"Software\\TavexDL tests\\reminder " + std::to_wstring(GetCurrentProcessId());

    void SetUp() override { Remove(); }
    void TearDown() override { Remove(); }
    void Remove() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

    void Store(DWORD type, const std::vector<std::uint8_t>& bytes)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, kReminderValueName, 0, type, bytes.data(), static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // The stored value's type and bytes; type 0 when there is none.
    std::pair<DWORD, std::vector<std::uint8_t>> Stored()
    {
        DWORD type = 0;
        DWORD size = 64;
        std::vector<std::uint8_t> bytes(size);
        if (RegGetValueW(HKEY_CURRENT_USER, path_.c_str(), kReminderValueName, RRF_RT_ANY | RRF_NOEXPAND, &type,
                         bytes.data(), &size) != ERROR_SUCCESS) {
            return {0, {}};
        }
        bytes.resize(size);
        return {type, bytes};
    }
};

std::vector<std::uint8_t> Dword(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::vector<std::uint8_t> Text(const wchar_t* text)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    return {bytes, bytes + (std::wcslen(text) + 1) * sizeof(wchar_t)};
}

struct StoredCase {
    const char* what;
    DWORD type;
    std::vector<std::uint8_t> bytes;
    bool shown;
};

TEST_F(ScratchKey, ReadingShowsTheReminderUnlessALowByteOfZeroIsStored)
{
    const StoredCase cases[] = {
        {"0", REG_DWORD, Dword(0), false},
        {"1", REG_DWORD, Dword(1), true},
        {"2", REG_DWORD, Dword(2), true},
        {"256: only the low-order byte counts", REG_DWORD, Dword(256), false},
        {"0xFFFFFF00", REG_DWORD, Dword(0xFFFFFF00u), false},
        {"0x01000001", REG_DWORD, Dword(0x01000001u), true},
        {"one byte 0", REG_DWORD, {0}, false},
        {"one byte 1", REG_DWORD, {1}, true},
        {"a DWORD of eight bytes cannot be read", REG_DWORD, {0, 0, 0, 0, 0, 0, 0, 0}, true},
        {"text \"0\"", REG_SZ, Text(L"0"), true},
        {"binary 0", REG_BINARY, Dword(0), true},
        {"QWORD 0", REG_QWORD, {0, 0, 0, 0, 0, 0, 0, 0}, true},
        {"big-endian 0", REG_DWORD_BIG_ENDIAN, Dword(0), true},
    };
    for (const StoredCase& stored : cases) {
        SCOPED_TRACE(stored.what);
        Store(stored.type, stored.bytes);
        EXPECT_EQ(ReadReminderValue(HKEY_CURRENT_USER, path_), stored.shown);
    }
}

TEST_F(ScratchKey, AMissingKeyOrValueShowsTheReminderAndWritesNothing)
{
    EXPECT_TRUE(ReadReminderValue(HKEY_CURRENT_USER, path_));
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS)
        << "reading made the key";

    Store(REG_SZ, Text(L"other"));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, path_.c_str(), kReminderValueName);
    EXPECT_TRUE(ReadReminderValue(HKEY_CURRENT_USER, path_));
}

TEST_F(ScratchKey, WritingStoresAFourByteDwordOfZeroOrOne)
{
    const struct {
        int state;
        std::uint32_t stored;
        bool shown;
    } cases[] = {{0, 0, false}, {1, 1, true}, {5, 1, true}, {-1, 1, true}, {0, 0, false}};
    for (const auto& written : cases) {
        SCOPED_TRACE(written.state);
        WriteReminderValue(HKEY_CURRENT_USER, path_, written.state);
        EXPECT_EQ(Stored(), std::make_pair(DWORD{REG_DWORD}, Dword(written.stored)));
        EXPECT_EQ(ReadReminderValue(HKEY_CURRENT_USER, path_), written.shown);
    }
}

TEST_F(ScratchKey, WritingReplacesAValueOfAnotherType)
{
    Store(REG_SZ, Text(L"0"));
    EXPECT_TRUE(ReadReminderValue(HKEY_CURRENT_USER, path_));
    WriteReminderValue(HKEY_CURRENT_USER, path_, 0);
    EXPECT_EQ(Stored(), std::make_pair(DWORD{REG_DWORD}, Dword(0)));
    EXPECT_FALSE(ReadReminderValue(HKEY_CURRENT_USER, path_));
}

// The program's own functions use HKCU\Software\Norwick Inc.\TavexDownloader
// (in the tests' own wine prefix).
TEST(ReminderSetting, LivesUnderTheProgramsKey)
{
    const std::wstring path = L"Software\\Norwick Inc.\\TavexDownloader";
    EXPECT_EQ(ReminderKeyPath(), path);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"Startup Reminder");
    EXPECT_TRUE(ReadReminderSetting());

    for (int state : {0, 1}) {
        WriteReminderSetting(state);
        DWORD value = 0xAAAAAAAA;
        DWORD size = sizeof value;
        ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L"Startup Reminder", RRF_RT_REG_DWORD, nullptr,
                               &value, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(value, static_cast<DWORD>(state));
        EXPECT_EQ(ReadReminderSetting(), state != 0);
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"Startup Reminder");
}

} // namespace
} // namespace tavex::test
