// The command line's thread loop on Windows: a message-only window of the
// thread, its message queue and a timer of that window. Calls pass under a
// mutex; a posted message only wakes the thread.

#include "cli/host/thread_loop.h"

#include "platform/windows_api.h"

#include <deque>
#include <mutex>

namespace tavex {

namespace {

constexpr UINT kWake = WM_APP + 1;
constexpr UINT_PTR kTimerId = 1;
constexpr const wchar_t* kClassName = L"TavexDLThreadLoop";

} // namespace

struct ThreadLoop::Impl {
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunWaiting();

    HWND window = nullptr;
    bool quit = false;
    std::function<void()> fire;
    std::mutex mutex;
    std::deque<std::function<void()>> waiting;
};

LRESULT CALLBACK ThreadLoop::Impl::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* const impl = reinterpret_cast<Impl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (impl != nullptr && message == kWake) {
        impl->RunWaiting();
        return 0;
    }
    if (impl != nullptr && message == WM_TIMER && wParam == kTimerId) {
        impl->fire();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ThreadLoop::Impl::RunWaiting()
{
    for (;;) {
        std::function<void()> call;
        {
            const std::lock_guard lock(mutex);
            if (waiting.empty()) {
                return;
            }
            call = std::move(waiting.front());
            waiting.pop_front();
        }
        call();
    }
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
    {
        const std::lock_guard lock(impl_->mutex);
        impl_->waiting.clear();
    }
    SetWindowLongPtrW(impl_->window, GWLP_USERDATA, 0);
    DestroyWindow(impl_->window);
}

void ThreadLoop::Post(std::function<void()> call)
{
    {
        const std::lock_guard lock(impl_->mutex);
        impl_->waiting.push_back(std::move(call));
    }
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
