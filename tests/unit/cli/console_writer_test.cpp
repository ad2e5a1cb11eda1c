#include "cli/output/console_writer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavex {
namespace {

using namespace std::chrono_literals;

// A console whose reader can stop: while it is held every write waits, as
// a write to a full pipe does. It keeps what was written, and can fail
// every write to one stream.
class HeldConsole {
public:
    ConsoleWriter::Sink Sink()
    {
        return [this](ConsoleStream stream, std::string_view text) { return Write(stream, text); };
    }

    void Hold()
    {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    void Release()
    {
        {
            const std::lock_guard lock(mutex_);
            held_ = false;
        }
        changed_.notify_all();
    }
    // Waits until a write is inside, held.
    void AwaitHeldWrite()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return waiting_; });
    }
    bool Held() const
    {
        const std::lock_guard lock(mutex_);
        return held_;
    }
    void FailEvery(ConsoleStream stream, int error)
    {
        const std::lock_guard lock(mutex_);
        failing_ = stream;
        error_ = error;
    }
    std::vector<std::string> Written() const
    {
        const std::lock_guard lock(mutex_);
        return written_;
    }

private:
    int Write(ConsoleStream stream, std::string_view text)
    {
        std::unique_lock lock(mutex_);
        waiting_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
        waiting_ = false;
        if (error_ != 0 && stream == failing_) {
            return error_;
        }
        written_.emplace_back(text);
        return 0;
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool waiting_ = false;
    ConsoleStream failing_ = ConsoleStream::Out;
    int error_ = 0;
    std::vector<std::string> written_;
};

ConsoleWrite Out(std::string text) { return {ConsoleStream::Out, std::move(text), std::nullopt}; }
ConsoleWrite Err(std::string text) { return {ConsoleStream::Err, std::move(text), std::nullopt}; }
ConsoleWrite Redraw(std::string text) { return {ConsoleStream::Out, std::move(text), 0}; }

// Lets go of the console after a while, should the test's own writes wait
// on it: the test then fails instead of hanging.
class ReleaseLater {
public:
    explicit ReleaseLater(HeldConsole& console)
        : thread_([this, &console] {
              std::unique_lock lock(mutex_);
              cancelled_.wait_for(lock, 10s, [this] { return done_; });
              console.Release();
          })
    {
    }
    ~ReleaseLater()
    {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        cancelled_.notify_all();
        thread_.join();
    }
    ReleaseLater(const ReleaseLater&) = delete;
    ReleaseLater& operator=(const ReleaseLater&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable cancelled_;
    bool done_ = false;
    std::thread thread_;
};

// The reader stops with the first write in hand: the program writes on,
// and once the reader reads again it gets every kept write and the newest
// progress, in order.
TEST(ConsoleWriter, WritesNeverWaitForAReaderThatStoppedAndNothingKeptIsLost)
{
    HeldConsole console;
    console.Hold();
    ConsoleWriter writer(console.Sink());
    const ReleaseLater safety(console);
    writer.Write(Out("OFF-LINE\n"));
    console.AwaitHeldWrite();
    for (int percent = 0; percent <= 100; ++percent) {
        writer.Write(Redraw("progress " + std::to_string(percent) + "%\n"));
        if (percent % 25 == 0) {
            writer.Write(Out("Writing Block: " + std::to_string(percent) + "\n"));
        }
    }
    writer.Write(Err("message\n"));
    writer.Write(Out("end\n"));
    EXPECT_TRUE(console.Held()) << "a write waited for the reader";

    console.Release();
    writer.Drain();
    EXPECT_EQ(console.Written(),
              (std::vector<std::string>{"OFF-LINE\n", "progress 0%\n", "Writing Block: 0\n", "progress 25%\n",
                                        "Writing Block: 25\n", "progress 50%\n", "Writing Block: 50\n",
                                        "progress 75%\n", "Writing Block: 75\n", "progress 100%\n",
                                        "Writing Block: 100\n", "message\n", "end\n"}));
}

// The program's end waits for the write in hand too, not just the queue.
TEST(ConsoleWriter, DrainWaitsUntilTheWriteInHandIsDone)
{
    HeldConsole console;
    console.Hold();
    ConsoleWriter writer(console.Sink());
    writer.Write(Out("end\n"));
    console.AwaitHeldWrite();
    std::mutex mutex;
    bool drained = false;
    std::thread drainer([&] {
        writer.Drain();
        const std::lock_guard lock(mutex);
        drained = true;
    });
    std::this_thread::sleep_for(100ms);  // time for a Drain that does not wait to return
    {
        const std::lock_guard lock(mutex);
        EXPECT_FALSE(drained);
    }
    console.Release();
    drainer.join();
    EXPECT_TRUE(drained);
    EXPECT_EQ(console.Written(), std::vector<std::string>{"end\n"});
}

TEST(ConsoleWriter, RemembersAStreamsFirstFailureAndWritesItNoMore)
{
    HeldConsole console;
    console.FailEvery(ConsoleStream::Out, EPIPE);
    ConsoleWriter writer(console.Sink());
    writer.Write(Out("first\n"));
    writer.Write(Err("to stderr\n"));
    writer.Write(Out("second\n"));
    writer.Drain();
    console.FailEvery(ConsoleStream::Out, ENOSPC);  // a later failure changes nothing: it is never tried
    EXPECT_FALSE(writer.Write(Out("third\n")));
    EXPECT_TRUE(writer.Write(Err("still\n")));
    writer.Drain();
    EXPECT_EQ(writer.Failure(ConsoleStream::Out), EPIPE);
    EXPECT_EQ(writer.Failure(ConsoleStream::Err), 0);
    EXPECT_EQ(console.Written(), (std::vector<std::string>{"to stderr\n", "still\n"}));
}

TEST(ConsoleWriter, WritesWhatWaitsBeforeItEnds)
{
    HeldConsole console;
    {
        ConsoleWriter writer(console.Sink());
        writer.Write(Out("a\n"));
        writer.Write(Redraw("1%\n"));
        writer.Write(Err("b\n"));
    }
    EXPECT_EQ(console.Written(), (std::vector<std::string>{"a\n", "1%\n", "b\n"}));
}

} // namespace
} // namespace tavex
