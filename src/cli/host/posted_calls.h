#pragma once

// The calls handed to a thread's loop from any thread, waiting their turn.
// They pass under a mutex of the standard library; the platform's loop is
// only woken to run them, so a thread checker sees the hand-over too.

#include <deque>
#include <functional>
#include <mutex>

namespace tavex {

class PostedCalls {
public:
    // From any thread.
    void Add(std::function<void()> call);

    // On the loop's thread: the calls waiting, in the order they came, one
    // at a time outside the lock (a call may post again). A wake that finds
    // nothing left came after an earlier one that ran its call.
    void RunWaiting();

    // Once no thread posts or runs calls any more: the lock puts this after
    // the last call that ran, whichever thread ran it.
    void Clear();

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> waiting_;
};

} // namespace tavex
