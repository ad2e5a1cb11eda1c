// tavexdl.exe as the operator meets it: started as a process, its windows
// found on the desktop and worked through their controls. The program is
// $TAVEX_DESKTOP_EXE; the download case also needs $TAVEX_DESKTOP_IMAGE and
// a keyboard on COM1 (desktop_cases.sh provides both).

#include "gui/reminder_setting.h"
#include "desktop_program.h"
#include "gui/win32/reminder_registry.h"
#include "resource_ids.h"
#include "text/string_table.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace tavex::test {
namespace {

// The program under test, started with `arguments`.
class TestedProgram : public DesktopProgram {
public:
    explicit TestedProgram(const std::wstring& arguments = L"")
        : DesktopProgram(WideFromUtf8(Environment("TAVEX_DESKTOP_EXE")), arguments)
    {
    }
};

class DesktopStart : public testing::Test {
protected:
    void SetUp() override
    {
        if (Environment("TAVEX_DESKTOP_EXE").empty()) {
            GTEST_SKIP() << "TAVEX_DESKTOP_EXE names no program";
        }
        RegDeleteKeyValueW(HKEY_CURRENT_USER, ReminderKeyPath().c_str(), kReminderValueName);
    }
    // $TAVEX_DESKTOP_KEEP_SETTING leaves what the program stored for
    // desktop_cases.sh to read back with wine's own registry tool.
    void TearDown() override
    {
        if (Environment("TAVEX_DESKTOP_KEEP_SETTING").empty()) {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, ReminderKeyPath().c_str(), kReminderValueName);
        }
    }

    static bool ReminderValueStored()
    {
        return RegGetValueW(HKEY_CURRENT_USER, ReminderKeyPath().c_str(), kReminderValueName, RRF_RT_ANY, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS;
    }
};

// The main window as start-up leaves it: idle, every input enabled.
void ExpectIdleMainWindow(HWND main)
{
    // The "?" and close buttons in the caption; nothing to minimise,
    // maximise or resize.
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(main, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(main, GWL_EXSTYLE));
    EXPECT_NE(exStyle & WS_EX_CONTEXTHELP, 0u);
    EXPECT_NE(style & WS_SYSMENU, 0u);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
    EXPECT_EQ(ControlText(main, IDC_STATUS), "OFF-LINE");
    EXPECT_EQ(ControlText(main, IDOK), "Close");
    const HWND list = GetDlgItem(main, IDC_COM_LIST);
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 16);
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Utf8Text(list), "1");
    for (int id : {IDC_COM_LIST, IDC_FILE_EDIT, IDC_BROWSE, IDC_DOWNLOAD, IDOK}) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, id))) << id;
    }
}

TEST_F(DesktopStart, FirstRunShowsTheReminderCheckedThenTheMainWindow)
{
    TestedProgram program;
    ASSERT_TRUE(program.Started());
    const HWND reminder = program.WaitForDialog("Reminder");
    ASSERT_NE(reminder, nullptr) << "no reminder";
    EXPECT_EQ(program.DialogTitled(kMainTitle), nullptr) << "the main window came with the reminder";
    EXPECT_EQ(SendMessageW(GetDlgItem(reminder, IDC_REMINDER_CHECK), BM_GETCHECK, 0, 0), BST_CHECKED);

    Click(reminder, IDOK);
    const HWND main = program.WaitForDialog(kMainTitle);
    ASSERT_NE(main, nullptr) << "no main window after the reminder";
    EXPECT_EQ(program.DialogTitled("Reminder"), nullptr);
    ExpectIdleMainWindow(main);
    EXPECT_EQ(ControlText(main, IDC_FILE_EDIT), "");
    EXPECT_FALSE(ReminderValueStored()) << "OK alone wrote the setting";

    // The caption's close button.
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

TEST_F(DesktopStart, UncheckingTheReminderStoresZeroAndTheNextStartGoesStraightToTheMainWindow)
{
    {
        TestedProgram program;
        ASSERT_TRUE(program.Started());
        const HWND reminder = program.WaitForDialog("Reminder");
        ASSERT_NE(reminder, nullptr);
        // What the box does on a click: toggle itself, then tell its dialog.
        SendMessageW(GetDlgItem(reminder, IDC_REMINDER_CHECK), BM_SETCHECK, BST_UNCHECKED, 0);
        Click(reminder, IDC_REMINDER_CHECK);
        EXPECT_TRUE(WaitFor([] { return !ReadReminderSetting(); }, 10s)) << "the unchecked box was not stored";
        Click(reminder, IDOK);
        const HWND main = program.WaitForDialog(kMainTitle);
        ASSERT_NE(main, nullptr);
        // Escape.
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        EXPECT_EQ(program.ExitCode(), 0);
    }
    TestedProgram program;
    ASSERT_TRUE(program.Started());
    const HWND main = program.WaitForDialog(kMainTitle);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(program.DialogTitled("Reminder"), nullptr);
    EXPECT_EQ(program.Dialogs().size(), 1u);
    ExpectIdleMainWindow(main);
    Click(main, IDOK);  // Close when idle
    EXPECT_EQ(program.ExitCode(), 0);
}

// Started by an automation client, the program shows the same windows as
// a plain start; a switch in other letters is no switch at all.
TEST_F(DesktopStart, TheAutomationSwitchesShowTheSameWindows)
{
    for (const wchar_t* arguments : {L"-Embedding", L"/Automation", L"/automation"}) {
        SCOPED_TRACE(Utf8FromWide(arguments));
        TestedProgram program(arguments);
        ASSERT_TRUE(program.Started());
        const HWND reminder = program.WaitForDialog("Reminder");
        ASSERT_NE(reminder, nullptr);
        Click(reminder, IDOK);
        const HWND main = program.WaitForDialog(kMainTitle);
        ASSERT_NE(main, nullptr);
        ExpectIdleMainWindow(main);
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.ExitCode(), 0);
    }
}

// Browse: the system's file-open dialog fills the file field with the full
// path, and cancelling leaves the field as it was. (Wine's dialog looks for
// a name typed without extension as it stands, before adding the default
// ".s20", so that case is left to Windows.)
TEST_F(DesktopStart, BrowseFillsTheFileFieldAndCancelLeavesIt)
{
    const std::string examples = Environment("TAVEX_DESKTOP_EXAMPLES");
    if (examples.empty()) {
        GTEST_SKIP() << "TAVEX_DESKTOP_EXAMPLES names no folder";
    }
    WriteReminderSetting(0);
    TestedProgram program;
    ASSERT_TRUE(program.Started());
    const HWND main = program.WaitForDialog(kMainTitle);
    ASSERT_NE(main, nullptr);

    // The file-open dialog is owned by the main window; its title is the
    // system's own.
    const auto openDialog = [&] {
        for (HWND window : program.Dialogs()) {
            if (window != main && GetWindow(window, GW_OWNER) == main && program.DialogTitled("tavexdl") != window) {
                return window;
            }
        }
        return HWND{};
    };
    // The file name's field: cmb13 in the system's dialog, edt1 in wine's.
    const auto fileNameField = [](HWND dialog) {
        const HWND field = GetDlgItem(dialog, 0x47C);
        return field != nullptr ? field : GetDlgItem(dialog, 0x480);
    };

    Click(main, IDC_BROWSE);
    HWND chooser = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (chooser = openDialog()) != nullptr; })) << "no file dialog";
    const std::string chosen = examples + "\\keyboard-small.s19";
    ASSERT_NE(fileNameField(chooser), nullptr);
    SendMessageW(fileNameField(chooser), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideFromUtf8(chosen).c_str()));
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDOK)));
    EXPECT_TRUE(WaitFor([&] { return openDialog() == nullptr; })) << "the file dialog stayed";
    EXPECT_EQ(ControlText(main, IDC_FILE_EDIT), chosen);

    Click(main, IDC_BROWSE);
    ASSERT_TRUE(WaitFor([&] { return (chooser = openDialog()) != nullptr; })) << "no file dialog";
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(WaitFor([&] { return openDialog() == nullptr; })) << "the file dialog stayed";
    EXPECT_EQ(ControlText(main, IDC_FILE_EDIT), chosen);

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

// A file that is not there: one warning box captioned with the program's
// name, and the window idle again once it is dismissed.
TEST_F(DesktopStart, AMissingFileIsOneBoxCaptionedWithTheProgramsName)
{
    WriteReminderSetting(0);
    TestedProgram program;
    ASSERT_TRUE(program.Started());
    const HWND main = program.WaitForDialog(kMainTitle);
    ASSERT_NE(main, nullptr);
    SetDlgItemTextW(main, IDC_FILE_EDIT, L"Z:\\no\\such\\image.s19");
    Click(main, IDC_DOWNLOAD);
    const HWND box = program.WaitForDialog("tavexdl");
    ASSERT_NE(box, nullptr) << "no message box captioned \"tavexdl\"";
    // The message, then the system's reason after a blank line.
    const std::string shown = ControlText(box, 0xFFFF);
    EXPECT_EQ(shown.rfind("Error: The file \"Z:\\no\\such\\image.s19\" could not be found.\n\n(Z:\\no\\such\\image.s19: ", 0),
              0U)
        << shown;
    Click(box, IDOK);
    EXPECT_TRUE(WaitFor([&] { return program.DialogTitled("tavexdl") == nullptr; }));
    ExpectIdleMainWindow(main);
    EXPECT_EQ(ControlText(main, IDC_FILE_EDIT), "Z:\\no\\such\\image.s19");
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

// The "?" caption button and the system menu's About item (command 16) open
// the About box; its box shows the stored setting, and a click on the box or
// on its label stores the new state at once.
TEST_F(DesktopStart, TheHelpButtonAndTheAboutItemOpenTheAboutBoxThatChangesTheSetting)
{
    const std::string aboutTitle = "About Tavex Firmware Upgrade Utility";
    WriteReminderSetting(0);
    TestedProgram program;
    ASSERT_TRUE(program.Started());
    const HWND main = program.WaitForDialog(kMainTitle);
    ASSERT_NE(main, nullptr);

    PostMessageW(main, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
    HWND about = program.WaitForDialog(aboutTitle);
    ASSERT_NE(about, nullptr) << "the \"?\" button opened no About box";
    const HWND box = GetDlgItem(about, IDC_ABOUT_CHECK);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // The label toggles the box and stores it.
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_CHECK_LABEL, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(about, IDC_ABOUT_CHECK_LABEL)));
    EXPECT_TRUE(WaitFor([&] { return ReadReminderSetting() && SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; },
                        10s));
    // The box itself, as a click leaves it: toggled, then its dialog told.
    SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
    Click(about, IDC_ABOUT_CHECK);
    EXPECT_TRUE(WaitFor([] { return !ReadReminderSetting(); }, 10s));
    Click(about, IDOK);
    EXPECT_TRUE(WaitFor([&] { return program.DialogTitled(aboutTitle) == nullptr; }));

    PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    about = program.WaitForDialog(aboutTitle);
    ASSERT_NE(about, nullptr) << "the About item opened no About box";
    EXPECT_EQ(SendMessageW(GetDlgItem(about, IDC_ABOUT_CHECK), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    EXPECT_TRUE(WaitFor([&] { return program.DialogTitled(aboutTitle) == nullptr; }));

    // Keyboard menus stay shut, and the window still closes.
    PostMessageW(main, WM_SYSCOMMAND, SC_KEYMENU, 0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

// The cases with a keyboard on COM1, set up by desktop_cases.sh, which
// also looks at what the keyboard got: the image is $TAVEX_DESKTOP_IMAGE and
// the program starts without the reminder.
class DesktopKeyboard : public DesktopStart {
protected:
    void SetUp() override
    {
        DesktopStart::SetUp();
        image_ = Environment("TAVEX_DESKTOP_IMAGE");
        if (image_.empty()) {
            GTEST_SKIP() << "TAVEX_DESKTOP_IMAGE names no image";
        }
        WriteReminderSetting(0);
    }

    // Download pressed with the image in the file field and COM 1 chosen;
    // the main window, or null when none came.
    HWND StartDownload(const DesktopProgram& program) const
    {
        const HWND main = program.WaitForDialog(kMainTitle);
        if (main != nullptr) {
            SetDlgItemTextW(main, IDC_FILE_EDIT, WideFromUtf8(image_).c_str());
            SendDlgItemMessageW(main, IDC_COM_LIST, CB_SETCURSEL, 0, 0);
            Click(main, IDC_DOWNLOAD);
        }
        return main;
    }

    std::string image_;
};

// The end of a download as the window shows it: a message box, or the window
// idle again; false when neither came within the bound.
bool WaitForTheEnd(const DesktopProgram& program, HWND main, std::chrono::milliseconds bound)
{
    return WaitFor(
        [&] {
            return program.DialogTitled("tavexdl") != nullptr ||
                   (ControlText(main, IDOK) == "Close" && ControlText(main, IDC_STATUS) == "OFF-LINE");
        },
        bound);
}

// A good end shows no message; one that came is a failure and is dismissed.
void ExpectNoMessage(const DesktopProgram& program)
{
    if (const HWND box = program.DialogTitled("tavexdl"); box != nullptr) {
        ADD_FAILURE() << "message: " << ControlText(box, 0xFFFF);
        Click(box, IDOK);
    }
}

// A whole download to the keyboard on COM1: no message, the window idle
// again. desktop_cases.sh then compares the keyboard's flash.
TEST_F(DesktopKeyboard, DownloadsTheImageToTheKeyboardOnCom1)
{
    TestedProgram program;
    ASSERT_TRUE(program.Started());
    const HWND main = StartDownload(program);
    ASSERT_NE(main, nullptr);

    // Running: the inputs disabled and button 1 Cancel (the download may
    // be over before it is seen).
    bool sawRunning = WaitFor([&] { return ControlText(main, IDOK) == "Cancel"; }, 5s);
    if (sawRunning) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_DOWNLOAD)));
    }
    ASSERT_TRUE(WaitForTheEnd(program, main, 60s)) << "still running: " << ControlText(main, IDC_STATUS);
    ExpectNoMessage(program);
    EXPECT_EQ(SendDlgItemMessageW(main, IDC_PROGRESS, PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(ControlText(main, IDC_FILE_EDIT), image_);
    for (int id : {IDC_COM_LIST, IDC_FILE_EDIT, IDC_BROWSE, IDC_DOWNLOAD}) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, id))) << id;
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

// Enter during a download is Cancel: the keyboard gets its end-of-table, no
// message is shown, and the window is idle again. Download disabled the
// control that had the focus, so the focus must have gone to button 1.
TEST_F(DesktopKeyboard, EnterDuringADownloadCancelsIt)
{
    TestedProgram program;
    ASSERT_TRUE(program.Started());
    const HWND main = StartDownload(program);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ControlText(main, IDC_STATUS).rfind("Writing Block", 0) == 0; }, 30s))
        << "no block written: " << ControlText(main, IDC_STATUS);
    EXPECT_EQ(FocusOf(main), GetDlgItem(main, IDOK)) << "the focus is not on button 1";

    // Browse, even when its command comes while it is disabled, does
    // nothing while the port is open.
    Click(main, IDC_BROWSE);
    EXPECT_FALSE(WaitFor([&] { return program.Dialogs().size() > 1; }, 1s)) << "Browse opened a dialog";

    PressKey(main, VK_RETURN);
    ASSERT_TRUE(WaitForTheEnd(program, main, 30s)) << "not cancelled: " << ControlText(main, IDC_STATUS);
    ExpectNoMessage(program);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_DOWNLOAD)));
    // Idle, Enter is Close.
    PressKey(main, VK_RETURN);
    EXPECT_EQ(program.ExitCode(), 0);
}

// A keyboard that answers no PING: after the watchdog has waited out both
// PINGs, one box captioned with the program's name says so, and once it is
// dismissed the window is idle again with its inputs as they were.
TEST_F(DesktopKeyboard, ASilentKeyboardIsOneBoxAndTheWindowIdleAgain)
{
    TestedProgram program;
    ASSERT_TRUE(program.Started());
    const HWND main = StartDownload(program);
    ASSERT_NE(main, nullptr);

    const HWND box = program.WaitForDialog("tavexdl", 40s);
    ASSERT_NE(box, nullptr) << "no message box: " << ControlText(main, IDC_STATUS);
    const std::string shown = ControlText(box, 0xFFFF);
    EXPECT_EQ(shown.rfind("Error: Communication could not be established.\n\nPlease make sure that:", 0), 0U) << shown;
    EXPECT_EQ(program.Dialogs().size(), 2u) << "more than the main window and one box";
    Click(box, IDOK);
    EXPECT_TRUE(WaitFor([&] { return program.DialogTitled("tavexdl") == nullptr; }));
    EXPECT_FALSE(WaitFor([&] { return program.DialogTitled("tavexdl") != nullptr; }, 1s)) << "a second box";
    ExpectIdleMainWindow(main);
    EXPECT_EQ(ControlText(main, IDC_FILE_EDIT), image_);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

} // namespace
} // namespace tavex::test
