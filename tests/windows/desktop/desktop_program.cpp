#include "desktop_program.h"

#include <cstdlib>
#include <thread>

namespace tavex::test {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound)
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

DesktopProgram::DesktopProgram(const std::wstring& program, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_) != FALSE;
}

DesktopProgram::~DesktopProgram()
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

std::vector<HWND> DesktopProgram::Dialogs() const
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

HWND DesktopProgram::DialogTitled(const std::string& title) const
{
    for (HWND window : Dialogs()) {
        if (Utf8Text(window) == title) {
            return window;
        }
    }
    return nullptr;
}

HWND DesktopProgram::WaitForDialog(const std::string& title, std::chrono::milliseconds bound) const
{
    HWND found = nullptr;
    WaitFor([&] { return (found = DialogTitled(title)) != nullptr; }, bound);
    return found;
}

long DesktopProgram::ExitCode(DWORD boundMs) const
{
    if (WaitForSingleObject(process_.hProcess, boundMs) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
}

std::string Utf8Text(HWND window)
{
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    return Utf8FromWide(buffer);
}

std::string ControlText(HWND dialog, int id) { return Utf8Text(GetDlgItem(dialog, id)); }

HWND FocusOf(HWND dialog)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

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

} // namespace tavex::test
