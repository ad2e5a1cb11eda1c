// The command line's thread loop on Windows: a message-only window of the
// thread, its message queue and a timer of that window. A posted message
// wakes the thread to run the posted calls.

#include "cli/host/thread_loop.h"

#include "cli/host/posted_calls.h"

#include "platform/win32/windows_api.h"


namespace tavex {

namespace {

constexpr UINT kWake = WM_APP + 1;
constexpr UINT_PTR kTimerId = 1;
constexpr const wchar_t* kClassName = L"TavexDLThreadLoop";

} // namespace

struct ThreadLoop::Impl {
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window = nullptr;
    bool quit = false;
    std::function<void()> fire;
    PostedCalls posted;
};

LRESULT CALLBACK ThreadLoop::Impl::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* const impl = reinterpret_cast<Impl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (impl != nullptr && message == kWake) {
        impl->posted.RunWaiting();
        return 0;
    }
    if (impl != nullptr && message == WM_TIMER && wParam == kTimerId) {
        impl->fire();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

ThreadLoop::ThreadLoop() : impl_(std::make_unique<Impl>())
{
    static const ATOM registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Impl::WindowProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassW(&windowClass);
    }();
    (void)registered;
    impl_->window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(impl_->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(impl_.get()));
}

ThreadLoop::~ThreadLoop()
{
    impl_->posted.Clear();
    SetWindowLongPtrW(impl_->window, GWLP_USERDATA, 0);
    DestroyWindow(impl_->window);
}

void ThreadLoop::Post(std::function<void()> call)
{
    impl_->posted.Add(std::move(call));
    PostMessageW(impl_->window, kWake, 0, 0);
}

void ThreadLoop::Run()
{
    impl_->quit = false;
    MSG message{};
    while (!impl_->quit && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void ThreadLoop::Quit() { impl_->quit = true; }

void ThreadLoop::StartTimer(unsigned periodMs, std::function<void()> fire)
{
    impl_->fire = std::move(fire);
    SetTimer(impl_->window, kTimerId, periodMs, nullptr);
}

void ThreadLoop::StopTimer() { KillTimer(impl_->window, kTimerId); }

void ThreadLoop::HandlePending()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace tavex
