#include "cli/output/console_writer.h"

#include <utility>

namespace tavex {

ConsoleWriter::ConsoleWriter(Sink sink) : sink_(std::move(sink)), thread_([this] { Run(); }) {}

ConsoleWriter::~ConsoleWriter()
{
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

bool ConsoleWriter::Write(ConsoleWrite write)
{
    {
        const std::lock_guard lock(mutex_);
        if (failures_[IndexOf(write.stream)] != 0) {
            return false;
        }
        queue_.Push(std::move(write));
    }
    wake_.notify_one();
    return true;
}

void ConsoleWriter::Drain()
{
    std::unique_lock lock(mutex_);
    drained_.wait(lock, [this] { return queue_.Empty() && !writing_; });
}

int ConsoleWriter::Failure(ConsoleStream stream) const
{
    const std::lock_guard lock(mutex_);
    return failures_[IndexOf(stream)];
}

void ConsoleWriter::Run()
{
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return !queue_.Empty() || ending_; });
        if (queue_.Empty()) {
            return;
        }
        WriteOne(queue_.Pop(), lock);
        if (queue_.Empty()) {
            drained_.notify_all();
        }
    }
}

// The lock is let go for the write itself, which may wait on the reader for
// as long as it likes: meanwhile the program queues on.
void ConsoleWriter::WriteOne(const ConsoleWrite& write, std::unique_lock<std::mutex>& lock)
{
    if (failures_[IndexOf(write.stream)] != 0) {
        return;
    }
    writing_ = true;
    lock.unlock();
    const int failure = sink_(write.stream, write.text);
    lock.lock();
    writing_ = false;
    if (failure != 0) {
        failures_[IndexOf(write.stream)] = failure;
    }
}

} // namespace tavex
