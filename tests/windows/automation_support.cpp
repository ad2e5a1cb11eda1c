#include "automation_support.h"

#include "gui/win32/automation/automation_server.h"
#include "gui/win32/automation/class_registration.h"

namespace tavex::test {

namespace {

constexpr const wchar_t* kWindowClass = L"TavexAutomationTestWindow";

void RegisterWindowClass()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);  // a second registration fails, harmlessly
}

} // namespace

HiddenWindow::HiddenWindow()
{
    RegisterWindowClass();
    handle_ = CreateWindowExW(0, kWindowClass, L"TavexDL test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HiddenWindow::~HiddenWindow()
{
    if (handle_ != nullptr) {
        DestroyWindow(handle_);
    }
}

bool TakePosted(HWND window, UINT message)
{
    MSG taken;
    return PeekMessageW(&taken, window, message, message, PM_REMOVE) != FALSE && taken.message == message;
}

void DropPosted()
{
    MSG taken;
    while (PeekMessageW(&taken, nullptr, 0, 0, PM_REMOVE)) {
    }
}

std::optional<std::wstring> ReadDefaultValue(HKEY root, const std::wstring& keyName)
{
    DWORD bytes = 0;
    if (RegGetValueW(root, keyName.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(root, keyName.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value.data(), &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value;
}

void RemoveClassEntries(HKEY classes)
{
    RegDeleteTreeW(classes, kAutomationProgId);
    RegDeleteTreeW(classes, (L"CLSID\\" + ClassIdText(kAutomationClassId)).c_str());
}

} // namespace tavex::test
