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

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)), ownerThread_(GetCurrentThreadId())
{
    const HINSTANCE module = ThisModule();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &MessageWindow::Procedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kClassName;
    // A second registration fails with ERROR_CLASS_ALREADY_EXISTS, which is
    // as good as the first.
    RegisterClassExW(&windowClass);
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
