#include "gui/win32/reminder_registry.h"

#include "gui/reminder_setting.h"
#include "text/settings_scope.h"

namespace tavex {

std::wstring ReminderKeyPath()
{
    return L"Software\\" + WideFromUtf8(kSettingsOrganisation) + L"\\" + WideFromUtf8(kSettingsApplication);
}

bool ReadReminderValue(HKEY root, const std::wstring& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return true;
    }
    bool show = true;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, kReminderValueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_DWORD) {
        // A REG_DWORD longer than 4 bytes does not fit and counts as
        // unreadable; a shorter one fills the low-order bytes.
        DWORD value = 0;
        size = sizeof value;
        if (RegQueryValueExW(key, kReminderValueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD) {
            show = (value & 0xFFu) != 0;
        }
    }
    RegCloseKey(key);
    return show;
}

void WriteReminderValue(HKEY root, const std::wstring& keyPath, int state)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    const DWORD value = state != 0 ? 1u : 0u;
    RegSetValueExW(key, kReminderValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

bool ReadReminderSetting() { return ReadReminderValue(HKEY_CURRENT_USER, ReminderKeyPath()); }

void WriteReminderSetting(int state) { WriteReminderValue(HKEY_CURRENT_USER, ReminderKeyPath(), state); }

} // namespace tavex
