#pragma once

// Writes the console's output on a thread of its own. A reader that stops
// reading (a full pipe nobody reads, a paused terminal) then stalls that
// thread alone: the download that prints goes on, so a keyboard is never
// left half-written for it and a signal never waits for the reader.

#include "cli/output/console_write.h"
#include "cli/output/output_queue.h"

#include <array>
#include <cstddef>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string_view>
#include <thread>

namespace tavex {

class ConsoleWriter {
public:
    // Writes `text` to the stream and flushes it; answers 0, or the errno of
    // the failure.
    using Sink = std::function<int(ConsoleStream stream, std::string_view text)>;

    explicit ConsoleWriter(Sink sink);
    // Writes what waits, then ends the thread.
    ~ConsoleWriter();
    ConsoleWriter(const ConsoleWriter&) = delete;
    ConsoleWriter& operator=(const ConsoleWriter&) = delete;

    // Queues the write and returns at once, never waiting on the sink. False,
    // with nothing queued, once its stream has failed.
    bool Write(ConsoleWrite write);

    // Waits until every write queued has been written, or dropped because
    // its stream failed.
    void Drain();

    // The errno of the stream's first failed write, 0 while none failed.
    // After a failure the stream is written no more.
    int Failure(ConsoleStream stream) const;

private:
    void Run();
    void WriteOne(const ConsoleWrite& write, std::unique_lock<std::mutex>& lock);
    static std::size_t IndexOf(ConsoleStream stream) { return stream == ConsoleStream::Out ? 0 : 1; }

    Sink sink_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;     // the thread: a write is queued, or the end
    std::condition_variable drained_;  // Drain: the queue is written out
    OutputQueue queue_;
    bool writing_ = false;  // the thread holds a write taken off the queue
    bool ending_ = false;
    std::array<int, 2> failures_ = {0, 0};
    std::thread thread_;  // last: it starts once everything above is in place
};

} // namespace tavex
