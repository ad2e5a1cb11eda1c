// tavexdl.exe as the operator meets it: started as a process, its windows
// found on the desktop and worked through their controls. The program is
// $TAVEX_DESKTOP_EXE; the download case also needs $TAVEX_DESKTOP_IMAGE and
// a keyboard on COM1 (desktop_cases.sh provides both).

#include "app/reminder_setting.h"
#include "gui/win32/reminder_registry.h"
#include "resource_ids.h"
#include "text/string_table.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tavex::test {
namespace {

using namespace std::chrono_literals;

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::wstring Text(HWND window)
{
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    return buffer;
}

std::string Utf8Text(HWND window) { return Utf8FromWide(Text(window)); }

// Waits for a condition; false when it has not come within the bound.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound = 20s)
{
    const auto end = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

// The program, started and at the end made to go.
class DesktopProgram {
public:
    explicit DesktopProgram(const std::wstring& arguments = L"")
    {
        const std::wstring program = WideFromUtf8(Environment("TAVEX_DESKTOP_EXE"));
        std::wstring commandLine = L"\"" + program + L"\"";
        if (!arguments.empty()) {
            commandLine += L" " + arguments;
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process_) != FALSE;
    }

    ~DesktopProgram()
    {
        if (started_) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 99);
                WaitForSingleObject(process_.hProcess, 5000);
            }
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }

    DesktopProgram(const DesktopProgram&) = delete;
    DesktopProgram& operator=(const DesktopProgram&) = delete;

    bool Started() const { return started_; }

    // The program's visible dialogs (message boxes included), topmost first.
    std::vector<HWND> Dialogs() const
    {
        struct Search {
            DWORD processId;
            std::vector<HWND> found;
        } search{process_.dwProcessId, {}};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t className[64] = {};
                GetClassNameW(window, className, 64);
                if (owner == s->processId && IsWindowVisible(window) && std::wstring(className) == L"#32770") {
                    s->found.push_back(window);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    HWND DialogTitled(const std::string& title) const
    {
        for (HWND window : Dialogs()) {
            if (Utf8Text(window) == title) {
                return window;
            }
        }
        return nullptr;
    }

    HWND WaitForDialog(const std::string& title, std::chrono::milliseconds bound = 20s) const
    {
        HWND found = nullptr;
        WaitFor([&] { return (found = DialogTitled(title)) != nullptr; }, bound);
        return found;
    }

    // The exit code once the program has ended within the bound, else -1.
    long ExitCode(DWORD boundMs = 20000) const
    {
        if (WaitForSingleObject(process_.hProcess, boundMs) != WAIT_OBJECT_0) {
            return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

const std::string kMainTitle = " Tavex Firmware Upgrade Utility";

// The control that has the keyboard focus in the program's dialog.
HWND FocusOf(HWND dialog)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

// A key pressed where the focus is, as the dialog's message loop meets it.
void PressKey(HWND dialog, WPARAM key)
{
    const HWND focus = FocusOf(dialog);
    const HWND target = focus != nullptr ? focus : dialog;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void Click(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string ControlText(HWND dialog, int id) { return Utf8Text(GetDlgItem(dialog, id)); }

class DesktopStart : public testing::Test {
protected:
    void SetUp() override
    {
        if (Environment("TAVEX_DESKTOP_EXE").empty()) {
            GTEST_SKIP() << "TAVEX_DESKTOP_EXE names no program";
        }
        RegDeleteKeyValueW(HKEY_CURRENT_USER, ReminderKeyPath().c_str(), kReminderValueName);
    }
    void TearDown() override { RegDeleteKeyValueW(HKEY_CURRENT_USER, ReminderKeyPath().c_str(), kReminderValueName); }

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
    DesktopProgram program;
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
        DesktopProgram program;
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
    DesktopProgram program;
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
        DesktopProgram program(arguments);
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
    DesktopProgram program;
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
    DesktopProgram program;
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
    DesktopProgram program;
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

// A whole download to the keyboard on COM1: no message, the window idle
// again. desktop_cases.sh then compares the keyboard's flash.
TEST_F(DesktopStart, DownloadsTheImageToTheKeyboardOnCom1)
{
    const std::string image = Environment("TAVEX_DESKTOP_IMAGE");
    if (image.empty()) {
        GTEST_SKIP() << "TAVEX_DESKTOP_IMAGE names no image";
    }
    WriteReminderSetting(0);
    DesktopProgram program;
    ASSERT_TRUE(program.Started());
    const HWND main = program.WaitForDialog(kMainTitle);
    ASSERT_NE(main, nullptr);
    SetDlgItemTextW(main, IDC_FILE_EDIT, WideFromUtf8(image).c_str());
    SendDlgItemMessageW(main, IDC_COM_LIST, CB_SETCURSEL, 0, 0);
    Click(main, IDC_DOWNLOAD);

    // Running: the inputs disabled and button 1 Cancel (the download may
    // be over before it is seen).
    bool sawRunning = WaitFor([&] { return ControlText(main, IDOK) == "Cancel"; }, 5s);
    if (sawRunning) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_DOWNLOAD)));
    }
    const bool ended = WaitFor(
        [&] {
            return program.DialogTitled("tavexdl") != nullptr ||
                   (ControlText(main, IDOK) == "Close" && ControlText(main, IDC_STATUS) == "OFF-LINE");
        },
        60s);
    ASSERT_TRUE(ended) << "still running: " << ControlText(main, IDC_STATUS);
    if (const HWND box = program.DialogTitled("tavexdl"); box != nullptr) {
        ADD_FAILURE() << "message: " << ControlText(box, 0xFFFF);
        Click(box, IDOK);
    }
    EXPECT_EQ(SendDlgItemMessageW(main, IDC_PROGRESS, PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(ControlText(main, IDC_FILE_EDIT), image);
    for (int id : {IDC_COM_LIST, IDC_FILE_EDIT, IDC_BROWSE, IDC_DOWNLOAD}) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, id))) << id;
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

} // namespace
} // namespace tavex::test

namespace tavex::test {
namespace {

// Enter during a download is Cancel: the keyboard gets its end-of-table, no
// message is shown, and the window is idle again. Download disabled the
// control that had the focus, so the focus must have gone to button 1.
TEST_F(DesktopStart, EnterDuringADownloadCancelsIt)
{
    const std::string image = Environment("TAVEX_DESKTOP_IMAGE");
    if (image.empty()) {
        GTEST_SKIP() << "TAVEX_DESKTOP_IMAGE names no image";
    }
    WriteReminderSetting(0);
    DesktopProgram program;
    ASSERT_TRUE(program.Started());
    const HWND main = program.WaitForDialog(kMainTitle);
    ASSERT_NE(main, nullptr);
    SetDlgItemTextW(main, IDC_FILE_EDIT, WideFromUtf8(image).c_str());
    Click(main, IDC_DOWNLOAD);
    ASSERT_TRUE(WaitFor([&] { return ControlText(main, IDC_STATUS).rfind("Writing Block", 0) == 0; }, 30s))
        << "no block written: " << ControlText(main, IDC_STATUS);
    EXPECT_EQ(FocusOf(main), GetDlgItem(main, IDOK)) << "the focus is not on button 1";

    // Browse, even when its command comes while it is disabled, does
    // nothing while the port is open.
    Click(main, IDC_BROWSE);
    EXPECT_FALSE(WaitFor([&] { return program.Dialogs().size() > 1; }, 1s)) << "Browse opened a dialog";

    PressKey(main, VK_RETURN);
    const bool ended = WaitFor(
        [&] {
            return program.DialogTitled("tavexdl") != nullptr ||
                   (ControlText(main, IDOK) == "Close" && ControlText(main, IDC_STATUS) == "OFF-LINE");
        },
        30s);
    ASSERT_TRUE(ended) << "not cancelled: " << ControlText(main, IDC_STATUS);
    if (const HWND box = program.DialogTitled("tavexdl"); box != nullptr) {
        ADD_FAILURE() << "message: " << ControlText(box, 0xFFFF);
        Click(box, IDOK);
    }
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_DOWNLOAD)));
    // Idle, Enter is Close.
    PressKey(main, VK_RETURN);
    EXPECT_EQ(program.ExitCode(), 0);
}

} // namespace
} // namespace tavex::test
