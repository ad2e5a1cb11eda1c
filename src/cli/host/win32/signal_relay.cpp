// The console calls its control handler on a thread of its own: the handler
// posts the stop to the main thread's loop. Windows ends the process once
// the handler returns from a close, log-off or shut-down, so there it waits
// (at most the few seconds Windows allows) for the download to end first.

#include "cli/host/signal_relay.h"

#include "platform/win32/windows_api.h"

#include <atomic>

namespace tavex {

namespace {

constexpr DWORD kMostCloseWaitMs = 4500;

std::atomic<SignalRelay*> relaying{nullptr};

} // namespace

struct SignalRelay::Impl {
    static BOOL WINAPI Handle(DWORD event);

    ThreadLoop* mainLoop = nullptr;
    std::function<void()> onSignal;
    bool working = false;
    std::string failure;
};

BOOL WINAPI SignalRelay::Impl::Handle(DWORD event)
{
    SignalRelay* const relay = relaying.load();
    if (relay == nullptr) {
        return FALSE;
    }
    Impl* const impl = relay->impl_.get();
    impl->mainLoop->Post([impl] { impl->onSignal(); });
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        Sleep(kMostCloseWaitMs);  // the process ends when main returns, with this thread
    }
    return TRUE;
}

SignalRelay::SignalRelay(ThreadLoop& mainLoop, std::function<void()> onSignal) : impl_(std::make_unique<Impl>())
{
    impl_->mainLoop = &mainLoop;
    impl_->onSignal = std::move(onSignal);
    relaying.store(this);
    if (!SetConsoleCtrlHandler(&Impl::Handle, TRUE)) {
        relaying.store(nullptr);
        impl_->failure = "Ctrl-C cannot be caught (" + SystemErrorText(GetLastError()) + ")";
        return;
    }
    impl_->working = true;
}

SignalRelay::~SignalRelay()
{
    if (impl_->working) {
        SetConsoleCtrlHandler(&Impl::Handle, FALSE);
    }
    relaying.store(nullptr);
}

const std::string& SignalRelay::Failure() const { return impl_->failure; }

} // namespace tavex
