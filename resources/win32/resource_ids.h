// Numbers of the desktop program's resources and controls on Windows,
// shared by the resource script and the program.
#pragma once

#define IDD_ABOUTBOX 100
#define IDD_TAVEXDL_DIALOG 102
#define IDR_MAINFRAME 130
#define IDD_REMINDER 146

#define IDC_FILE_EDIT 1000
#define IDC_BROWSE 1001
#define IDC_DOWNLOAD 1002
#define IDC_PROGRESS 1003
#define IDC_STATUS 1004
#define IDC_ABOUT_ICON 1006
#define IDC_COM_LIST 1007
#define IDC_REMINDER_CHECK 1009
#define IDC_ABOUT_CHECK 1010
#define IDC_ABOUT_CHECK_LABEL 1011

// The system menu's About item.
#define IDM_ABOUTBOX 0x0010
