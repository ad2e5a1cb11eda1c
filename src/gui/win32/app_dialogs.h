#pragma once

// The program's icon, the startup reminder and the About box. Both dialogs
// carry a check box for the reminder setting, and every click on either
// stores the box's new state at once.

#include "platform/win32/windows_api.h"

namespace tavex {

// Icon resource 130 at the system's large or small icon size; the system's
// application icon when the program carries none. Shared: never destroyed.
HICON AppIcon(bool small);

// Modal, without an owner; the result is of no interest.
void RunReminderDialog();

// Modal, owned by the main window.
void RunAboutBox(HWND owner);

// The dialogs' procedures, for tests that create the dialogs themselves.
INT_PTR CALLBACK ReminderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

} // namespace tavex
