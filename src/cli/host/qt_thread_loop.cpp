// The command line's thread loop on Qt. Calls, and what they carry, pass
// under a mutex of the standard library; a queued call of Qt only wakes the
// loop's thread, which then runs what waits in the order it came. A thread
// checker sees the hand-over this way as well, where Qt's own queue is
// guarded by locks it cannot see.

#include "cli/host/thread_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <deque>
#include <mutex>

namespace tavex {

struct ThreadLoop::Impl {
    void RunWaiting();

    QEventLoop loop;  // made first: it gives a thread of its own an event dispatcher
    QObject wakes;    // the context of the wakes, on the loop's thread
    QTimer timer;
    std::function<void()> fire;
    std::mutex mutex;
    std::deque<std::function<void()>> waiting;
};

// One call at a time, outside the lock: a call may post again. A wake that
// finds nothing left came after an earlier one that ran its call.
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
    QObject::connect(&impl_->timer, &QTimer::timeout, &impl_->wakes, [impl = impl_.get()] { impl->fire(); });
}

// Once no thread posts or runs calls any more: the lock puts this after the
// last call that ran, whichever thread ran it.
ThreadLoop::~ThreadLoop()
{
    const std::lock_guard lock(impl_->mutex);
    impl_->waiting.clear();
}

void ThreadLoop::Post(std::function<void()> call)
{
    {
        const std::lock_guard lock(impl_->mutex);
        impl_->waiting.push_back(std::move(call));
    }
    QMetaObject::invokeMethod(&impl_->wakes, [impl = impl_.get()] { impl->RunWaiting(); }, Qt::QueuedConnection);
}

void ThreadLoop::Run() { impl_->loop.exec(); }

void ThreadLoop::Quit() { impl_->loop.quit(); }

void ThreadLoop::StartTimer(unsigned periodMs, std::function<void()> fire)
{
    impl_->fire = std::move(fire);
    impl_->timer.start(static_cast<int>(periodMs));
}

void ThreadLoop::StopTimer() { impl_->timer.stop(); }

void ThreadLoop::HandlePending() { QCoreApplication::processEvents(); }

} // namespace tavex
