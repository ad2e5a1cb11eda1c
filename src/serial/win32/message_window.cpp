#include "serial/win32/message_window.h"

#include <utility>

namespace tavex {

namespace {

constexpr const wchar_t* kClassName = L"TavexCommControlMessages";

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

} // namespace

// The class is registered once for the process, before any thread makes a
// window of it: controls made on two threads at once would otherwise race,
// and under wine the loser's window then finds no class.
void MessageWindow::RegisterClassOnce(HINSTANCE module)
{
    static const bool registered = [module] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &MessageWindow::Procedure;
        windowClass.hInstance = module;
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    (void)registered;
}

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)), ownerThread_(GetCurrentThreadId())
{
    const HINSTANCE module = ThisModule();
    RegisterClassOnce(module);
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
}

MessageWindow::~MessageWindow()
{
    if (window_ != nullptr) {
        // Messages still queued for the window are dropped with it.
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

bool MessageWindow::Post(UINT message, WPARAM wParam) const
{
    return window_ != nullptr && PostMessageW(window_, message, wParam, 0) != FALSE;
}

LRESULT CALLBACK MessageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* const self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message >= kFirstMessage && self->handler_) {
        self->handler_(message, wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tavex
