#include "cli/station/thread_mailbox.h"

#include <utility>

namespace tavex {

// Once no thread posts or runs calls any more: the lock puts this after
// the last call that ran, whichever thread ran it.
ThreadMailbox::~ThreadMailbox()
{
    const std::lock_guard lock(mutex_);
    waiting_.clear();
}

void ThreadMailbox::Post(std::function<void()> call)
{
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(call));
    }
    QMetaObject::invokeMethod(&wakes_, [this] { RunWaiting(); }, Qt::QueuedConnection);
}

// One call at a time, outside the lock: a call may post again. A wake that
// finds nothing left came after an earlier one that ran its call.
void ThreadMailbox::RunWaiting()
{
    for (;;) {
        std::function<void()> call;
        {
            const std::lock_guard lock(mutex_);
            if (waiting_.empty()) {
                return;
            }
            call = std::move(waiting_.front());
            waiting_.pop_front();
        }
        call();
    }
}

} // namespace tavex
