#pragma once

// Whether the reminder about cabling and bootloader mode greets the user at
// startup. It lives in the per-user settings: the registry key
// HKCU\Software\Norwick Inc.\TavexDownloader on Windows, the matching
// settings file elsewhere.

namespace tavex {

// True unless a stored whole number has a low-order byte of zero. A value
// that is missing, unreadable or not a number leaves the reminder on.
bool ReadReminderSetting();

// Stores 1 for a nonzero state and 0 otherwise, as a 32-bit number (a
// REG_DWORD on Windows), replacing whatever was there. A failure is ignored.
void WriteReminderSetting(int state);

} // namespace tavex
