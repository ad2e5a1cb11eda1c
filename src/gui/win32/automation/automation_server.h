#pragma once

// The desktop program as an automation server on Windows: "TavexDL.Application",
// a COM local server whose object stands for the main window and has no
// members. A client holding it holds a running instance of the program.

#include "platform/win32/windows_api.h"

#include <memory>

namespace tavex {

inline constexpr const wchar_t* kAutomationProgId = L"TavexDL.Application";
// {5B3C2A71-9E4D-4F0B-8C21-6D7A3E9B1F42}
inline constexpr GUID kAutomationClassId = {
    0x5b3c2a71, 0x9e4d, 0x4f0b, {0x8c, 0x21, 0x6d, 0x7a, 0x3e, 0x9b, 0x1f, 0x42}};
// {A0D47F3E-2C8B-4E61-9F15-3B7C6E2D8A90}
inline constexpr GUID kAutomationDispatchId = {
    0xa0d47f3e, 0x2c8b, 0x4e61, {0x9f, 0x15, 0x3b, 0x7c, 0x6e, 0x2d, 0x8a, 0x90}};

// The class factory: made before start-up, gone after the program's end,
// when it revokes its registration as a running class object.
class AutomationServer {
public:
    AutomationServer();
    ~AutomationServer();
    AutomationServer(const AutomationServer&) = delete;
    AutomationServer& operator=(const AutomationServer&) = delete;

    // Start-up, once OLE is initialised: started by automation ("Embedding"
    // or "Automation" on the command line) the class object is registered as
    // running, single use, and the program is under automation control;
    // otherwise the class's registry entries are refreshed. Neither result
    // is examined.
    void Start(bool startedByAutomation);

    // The main window objects stand for from now on; null once it is gone.
    // When a program started by automation loses its last object while this
    // window is enabled, the window is closed the way its close button
    // closes it: WM_CLOSE is posted to it, so a running download ends with
    // its end-of-table. While it is disabled (a modal box is open) it stays,
    // and the program is the user's from then on. With no main window at
    // all, the thread is asked to quit (PostQuitMessage). An object a client
    // asks for before the first main window stands for none.
    void SetMainWindow(HWND mainWindow);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tavex
