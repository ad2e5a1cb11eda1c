#include "cli/host/posted_calls.h"

namespace tavex {

void PostedCalls::Add(std::function<void()> call)
{
    const std::lock_guard lock(mutex_);
    waiting_.push_back(std::move(call));
}

void PostedCalls::RunWaiting()
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

void PostedCalls::Clear()
{
    const std::lock_guard lock(mutex_);
    waiting_.clear();
}

} // namespace tavex
