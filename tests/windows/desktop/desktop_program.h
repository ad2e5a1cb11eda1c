#pragma once

// tavexdl.exe as a process whose windows are found on the desktop and worked
// through their controls, as an operator would: what the driver's tests and
// the screenshot tour share.

#include "platform/win32/windows_api.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tavex::test {

using namespace std::chrono_literals;

inline const std::string kMainTitle = " Tavex Firmware Upgrade Utility";

// An environment variable's value; empty when it is not set.
std::string Environment(const char* name);

// Waits for a condition; false when it has not come within the bound.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound = 20s);

// The program, started with `arguments` and at the end made to go.
class DesktopProgram {
public:
    DesktopProgram(const std::wstring& program, const std::wstring& arguments);
    ~DesktopProgram();
    DesktopProgram(const DesktopProgram&) = delete;
    DesktopProgram& operator=(const DesktopProgram&) = delete;

    bool Started() const { return started_; }

    // The program's visible dialogs (message boxes included), topmost first.
    std::vector<HWND> Dialogs() const;
    HWND DialogTitled(const std::string& title) const;
    HWND WaitForDialog(const std::string& title, std::chrono::milliseconds bound = 20s) const;

    // The exit code once the program has ended within the bound, else -1.
    long ExitCode(DWORD boundMs = 20000) const;

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

// A window's text, as UTF-8.
std::string Utf8Text(HWND window);
std::string ControlText(HWND dialog, int id);

// The control that has the keyboard focus in the program's dialog.
HWND FocusOf(HWND dialog);

// A key pressed where the focus is, as the dialog's message loop meets it.
void PressKey(HWND dialog, WPARAM key);

// A button's click, as its dialog is told of it.
void Click(HWND dialog, int id);

} // namespace tavex::test
