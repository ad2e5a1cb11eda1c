#include "gui/win32/app_dialogs.h"

#include "gui/reminder_setting.h"
#include "resource_ids.h"

namespace tavex {

namespace {

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

int BoxState(HWND dialog, int boxId) { return IsDlgButtonChecked(dialog, boxId) == BST_CHECKED ? 1 : 0; }

bool EndsDialog(WPARAM wParam) { return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL; }

} // namespace

HICON AppIcon(bool small)
{
    const int width = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    const int height = GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    auto* icon = static_cast<HICON>(
        LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, width, height, LR_SHARED));
    if (icon == nullptr) {
        icon = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32512 /* IDI_APPLICATION */), IMAGE_ICON,
                                             width, height, LR_SHARED));
    }
    return icon;
}

INT_PTR CALLBACK ReminderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        // Shown only while the setting is on, so the box starts checked.
        CheckDlgButton(dialog, IDC_REMINDER_CHECK, BST_CHECKED);
        SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(AppIcon(false)));
        SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(AppIcon(true)));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_REMINDER_CHECK && HIWORD(wParam) == BN_CLICKED) {
            WriteReminderSetting(BoxState(dialog, IDC_REMINDER_CHECK));
            return TRUE;
        }
        if (EndsDialog(wParam)) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(AppIcon(false)), 0);
        CheckDlgButton(dialog, IDC_ABOUT_CHECK, ReadReminderSetting() ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_CHECK && HIWORD(wParam) == BN_CLICKED) {
            WriteReminderSetting(BoxState(dialog, IDC_ABOUT_CHECK));
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_ABOUT_CHECK_LABEL && HIWORD(wParam) == STN_CLICKED) {
            // The label is the box's caption: a click on it toggles the box.
            const int state = BoxState(dialog, IDC_ABOUT_CHECK) == 0 ? 1 : 0;
            CheckDlgButton(dialog, IDC_ABOUT_CHECK, state != 0 ? BST_CHECKED : BST_UNCHECKED);
            WriteReminderSetting(state);
            return TRUE;
        }
        if (EndsDialog(wParam)) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void RunReminderDialog()
{
    DialogBoxParamW(ProgramInstance(), MAKEINTRESOURCEW(IDD_REMINDER), nullptr, ReminderDialogProc, 0);
}

void RunAboutBox(HWND owner)
{
    DialogBoxParamW(ProgramInstance(), MAKEINTRESOURCEW(IDD_ABOUTBOX), owner, AboutBoxProc, 0);
}

} // namespace tavex
