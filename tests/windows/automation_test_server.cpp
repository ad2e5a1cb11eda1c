// A stand-in for the desktop program as an automation server, for the tests
// that reach it from another process through COM:
//   tavex_automation_test_server.exe REPORT [start-only] [-Embedding|/Automation]
// It starts its AutomationServer as the desktop program does (the switches
// read by the program's own parser), makes a hidden main window and runs a
// message loop until the window is gone. REPORT gets a line
// "<process id> <main window>" once the window is up. With "start-only" it
// ends right after the start (a plain start refreshes the class entries).
// Exit code: 0 when the main window was closed (WM_CLOSE), 3 when the loop
// ended otherwise, 1 when it could not start.

#include "gui/automation_switches.h"
#include "gui/win32/automation/automation_server.h"
#include "platform/win32/windows_api.h"

#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

tavex::AutomationServer* server = nullptr;
bool closedByMessage = false;

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        closedByMessage = true;
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        server->SetMainWindow(nullptr);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::vector<std::wstring> Arguments()
{
    int count = 0;
    wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int at = 0; list != nullptr && at < count; ++at) {
        arguments.emplace_back(list[at]);
    }
    LocalFree(list);
    return arguments;
}

bool Report(const std::wstring& path, HWND window)
{
    FILE* file = _wfopen(path.c_str(), L"a");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "%lu %llu\n", GetCurrentProcessId(),
                 static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    return std::fclose(file) == 0;
}

HWND MakeMainWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = MainWindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TavexAutomationTestServer";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"TavexDL test server", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
}

int Run()
{
    const std::vector<std::wstring> arguments = Arguments();
    if (arguments.size() < 2) {
        return 1;
    }
    const std::wstring& reportPath = arguments[1];
    const bool startOnly = arguments.size() > 2 && arguments[2] == L"start-only";
    const tavex::AutomationSwitches switches =
        tavex::ParseAutomationSwitches(tavex::Utf8FromWide(GetCommandLineW()));

    tavex::AutomationServer automation;
    server = &automation;
    automation.Start(switches.StartedByAutomation());
    if (startOnly) {
        return Report(reportPath, nullptr) ? 0 : 1;
    }
    HWND window = MakeMainWindow();
    if (window == nullptr) {
        return 1;
    }
    automation.SetMainWindow(window);
    if (!Report(reportPath, window)) {
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return closedByMessage ? 0 : 3;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (FAILED(OleInitialize(nullptr))) {
        return 1;
    }
    const int exitCode = Run();
    OleUninitialize();
    return exitCode;
}
