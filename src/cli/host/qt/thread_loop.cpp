// The command line's thread loop on Qt: a queued call of Qt wakes the loop's
// thread to run the posted calls. Qt's own queue is guarded by locks a thread
// checker cannot see; the posted calls' mutex it can.

#include "cli/host/thread_loop.h"

#include "cli/host/posted_calls.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>


namespace tavex {

struct ThreadLoop::Impl {
    QEventLoop loop;  // made first: it gives a thread of its own an event dispatcher
    QObject wakes;    // the context of the wakes, on the loop's thread
    QTimer timer;
    std::function<void()> fire;
    PostedCalls posted;
};

ThreadLoop::ThreadLoop() : impl_(std::make_unique<Impl>())
{
    QObject::connect(&impl_->timer, &QTimer::timeout, &impl_->wakes, [impl = impl_.get()] { impl->fire(); });
}

ThreadLoop::~ThreadLoop() { impl_->posted.Clear(); }

void ThreadLoop::Post(std::function<void()> call)
{
    impl_->posted.Add(std::move(call));
    QMetaObject::invokeMethod(&impl_->wakes, [impl = impl_.get()] { impl->posted.RunWaiting(); },
                              Qt::QueuedConnection);
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
