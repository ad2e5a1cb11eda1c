// "TavexDL.Application" served by the desktop program itself: a client
// activates the class and COM starts tavexdl.exe ($TAVEX_DESKTOP_EXE) with
// -Embedding, whose main window comes up and whose object answers without
// members. Releasing the object ends a program automation started, and
// leaves alone one the user started. Runs on a wine desktop with a display
// (wine_desktop.sh), as the program's windows need one.

#include "automation_support.h"
#include "desktop_program.h"
#include "gui/win32/automation/automation_server.h"
#include "gui/win32/automation/class_registration.h"
#include "gui/win32/reminder_registry.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <oaidl.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace tavex {
namespace {

using namespace std::chrono_literals;
using test::ComHeld;
using test::ForEachClasses;
using test::ReadDefaultValue;
using test::RemoveClassEntries;
using test::WaitFor;

// The main window's caption, as resources/win32/tavexdl.rc has it.
constexpr const wchar_t* kMainTitle = L" Tavex Firmware Upgrade Utility";
constexpr DWORD kEndLimit = 20000;  // ms

std::wstring DesktopProgram()
{
    const char* value = std::getenv("TAVEX_DESKTOP_EXE");
    return value != nullptr ? WideFromUtf8(value) : std::wstring();
}

std::wstring Caption(HWND window)
{
    wchar_t buffer[256] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, &copied);
    return buffer;
}

// The visible top-level windows on this desktop, each with its process.
struct Shown {
    HWND window;
    DWORD processId;
};

std::vector<Shown> VisibleWindows()
{
    std::vector<Shown> found;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            if (IsWindowVisible(window)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                reinterpret_cast<std::vector<Shown>*>(data)->push_back({window, owner});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The desktop program's main windows on show.
std::vector<Shown> MainWindows()
{
    std::vector<Shown> found;
    for (const Shown& shown : VisibleWindows()) {
        wchar_t className[64] = {};
        GetClassNameW(shown.window, className, 64);
        if (std::wstring(className) == L"#32770" && Caption(shown.window) == kMainTitle) {
            found.push_back(shown);
        }
    }
    return found;
}

std::vector<HWND> VisibleWindowsOf(DWORD processId)
{
    std::vector<HWND> found;
    for (const Shown& shown : VisibleWindows()) {
        if (shown.processId == processId) {
            found.push_back(shown.window);
        }
    }
    return found;
}

class DesktopServerFixture : public testing::Test {
protected:
    void SetUp() override
    {
        if (DesktopProgram().empty()) {
            GTEST_SKIP() << "TAVEX_DESKTOP_EXE names no program";
        }
        ASSERT_TRUE(MainWindows().empty()) << "a main window was on show before the test";
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        initialised = true;
        ForEachClasses([](HKEY classes) { RemoveClassEntries(classes); });
        // The reminder off: the main window is the program's only window.
        WriteReminderValue(HKEY_CURRENT_USER, ReminderKeyPath(), 0);
    }

    void TearDown() override
    {
        // Whatever program a failed case left on show: the wine desktop
        // stays, and the test with it, while a window is on it.
        for (const Shown& left : MainWindows()) {
            Watch(left.processId);
        }
        for (HANDLE process : processes) {
            if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process, 99);
                WaitForSingleObject(process, 5000);
            }
            CloseHandle(process);
        }
        if (initialised) {
            ForEachClasses([](HKEY classes) { RemoveClassEntries(classes); });
            RegDeleteKeyValueW(HKEY_CURRENT_USER, ReminderKeyPath().c_str(), kReminderValueName);
            CoUninitialize();
        }
    }

    // The class's local server as the class lookup finds it.
    static std::optional<std::wstring> RegisteredServer()
    {
        CLSID found = {};
        if (CLSIDFromProgID(kAutomationProgId, &found) != S_OK || !IsEqualCLSID(found, kAutomationClassId)) {
            return std::nullopt;
        }
        return ReadDefaultValue(HKEY_CLASSES_ROOT,
                                L"CLSID\\" + ClassIdText(kAutomationClassId) + L"\\LocalServer32");
    }

    HANDLE Watch(DWORD processId)
    {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                     processId);
        if (process != nullptr) {
            processes.push_back(process);
        }
        return process;
    }

    HANDLE StartByUser()
    {
        std::wstring line = LocalServerCommand(DesktopProgram());
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &started)) {
            return nullptr;
        }
        CloseHandle(started.hThread);
        processes.push_back(started.hProcess);
        return started.hProcess;
    }

    static ComHeld<IDispatch> Activate()
    {
        void* object = nullptr;
        const HRESULT result =
            CoCreateInstance(kAutomationClassId, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, &object);
        EXPECT_EQ(result, S_OK) << std::hex << static_cast<unsigned long>(result);
        return ComHeld<IDispatch>(static_cast<IDispatch*>(object));
    }

    // The one main window of a process other than `except`, once on show.
    static std::optional<Shown> WaitForMainWindow(DWORD except = 0)
    {
        std::optional<Shown> found;
        WaitFor([&] {
            for (const Shown& shown : MainWindows()) {
                if (shown.processId != except) {
                    found = shown;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

    static std::optional<DWORD> EndOf(HANDLE process, DWORD limit = kEndLimit)
    {
        if (WaitForSingleObject(process, limit) != WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        return code;
    }

    static void ExpectNoMembers(IDispatch& object)
    {
        UINT typeInfoCount = 7;
        EXPECT_EQ(object.GetTypeInfoCount(&typeInfoCount), S_OK);
        EXPECT_EQ(typeInfoCount, 0u);
        wchar_t visible[] = L"Visible";
        LPOLESTR names[] = {visible};
        DISPID id = 1;
        EXPECT_EQ(object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
        DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(object.Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                                &result, nullptr, nullptr),
                  DISP_E_MEMBERNOTFOUND);
    }

    bool initialised = false;
    std::vector<HANDLE> processes;
};

using AutomationDesktop = DesktopServerFixture;

TEST_F(AutomationDesktop, ReleasingTheObjectEndsTheProgramAutomationStarted)
{
    HKEY classes = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, KEY_ALL_ACCESS, &classes), ERROR_SUCCESS);
    const bool written = WriteClassEntries(classes, LocalServerCommand(DesktopProgram()));
    RegCloseKey(classes);
    ASSERT_TRUE(written);
    ASSERT_EQ(RegisteredServer(), LocalServerCommand(DesktopProgram()));

    ComHeld<IDispatch> object = Activate();
    ASSERT_NE(object, nullptr);
    const std::optional<Shown> main = WaitForMainWindow();
    ASSERT_TRUE(main.has_value()) << "no main window after the activation";
    EXPECT_NE(main->processId, GetCurrentProcessId());
    HANDLE program = Watch(main->processId);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(VisibleWindowsOf(main->processId), std::vector<HWND>{main->window}) << "more windows than the main one";

    ExpectNoMembers(*object);

    // Held, the program stays.
    EXPECT_EQ(EndOf(program, 500), std::nullopt);
    EXPECT_TRUE(IsWindowVisible(main->window));
    object.reset();
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(main->window); })) << "the main window stayed";
    EXPECT_EQ(EndOf(program), 0u);
}

TEST_F(AutomationDesktop, ReleasingTheObjectLeavesTheProgramTheUserStarted)
{
    ASSERT_EQ(RegisteredServer(), std::nullopt);
    HANDLE user = StartByUser();
    ASSERT_NE(user, nullptr);
    const std::optional<Shown> userMain = WaitForMainWindow();
    ASSERT_TRUE(userMain.has_value()) << "no main window after the user's start";
    // The plain start registered the program as the class's server.
    ASSERT_EQ(RegisteredServer(), LocalServerCommand(DesktopProgram()));

    // It registered no class object: the request starts another program.
    ComHeld<IDispatch> object = Activate();
    ASSERT_NE(object, nullptr);
    const std::optional<Shown> served = WaitForMainWindow(userMain->processId);
    ASSERT_TRUE(served.has_value()) << "no second main window after the activation";
    HANDLE server = Watch(served->processId);
    ASSERT_NE(server, nullptr);
    ExpectNoMembers(*object);

    object.reset();
    EXPECT_EQ(EndOf(server), 0u) << "the program automation started stayed";
    EXPECT_EQ(EndOf(user, 1000), std::nullopt) << "the user's program ended";
    EXPECT_TRUE(IsWindowVisible(userMain->window));
    EXPECT_EQ(MainWindows().size(), 1u);

    ASSERT_TRUE(PostMessageW(userMain->window, WM_CLOSE, 0, 0));
    EXPECT_EQ(EndOf(user), 0u);
}

} // namespace
} // namespace tavex
