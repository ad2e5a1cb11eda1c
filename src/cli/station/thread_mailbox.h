#pragma once

// Calls handed from other threads to the thread of one QObject. The calls,
// and what they carry, pass under a mutex of the standard library; a queued
// call of Qt only wakes the receiver's thread, which then runs what waits in
// the order it came. A thread checker sees the hand-over this way as well,
// where Qt's own queue is guarded by locks it cannot see.

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

namespace tavex {

class ThreadMailbox {
public:
    // The calls run on the thread `receiver` lives in, also after it moves
    // there. The receiver must outlive the mailbox; wakes still queued when
    // the mailbox goes are dropped with it.
    explicit ThreadMailbox(QObject& receiver) { wakes_.setParent(&receiver); }
    ~ThreadMailbox();
    ThreadMailbox(const ThreadMailbox&) = delete;
    ThreadMailbox& operator=(const ThreadMailbox&) = delete;

    // From any thread.
    void Post(std::function<void()> call);

private:
    void RunWaiting();

    QObject wakes_;  // the context of the wakes, on the receiver's thread
    std::mutex mutex_;
    std::deque<std::function<void()>> waiting_;
};

} // namespace tavex
