#pragma once

// The startup reminder's setting in the registry: the value "Startup
// Reminder" under HKCU\Software\Norwick Inc.\TavexDownloader. The public
// ReadReminderSetting and WriteReminderSetting (app/reminder_setting.h) use
// that key; these take any key, so that a scratch key can stand in.

#include "platform/win32/windows_api.h"

#include <string>

namespace tavex {

std::wstring ReminderKeyPath();  // under HKEY_CURRENT_USER
inline constexpr const wchar_t* kReminderValueName = L"Startup Reminder";

// True unless the value exists as a REG_DWORD whose low-order byte is 0.
bool ReadReminderValue(HKEY root, const std::wstring& keyPath);

// Makes the key when it is missing and stores 1 for a nonzero state, 0
// otherwise, as a 4-byte REG_DWORD. Failures are silent.
void WriteReminderValue(HKEY root, const std::wstring& keyPath, int state);

} // namespace tavex
