#pragma once

// One thread's message queue on a virtual clock: messages run one at a time
// in the order of their time and then of their posting; nothing waits for
// real time.

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace tavex::test {

class VirtualEventLoop {
public:
    using Handler = std::function<void()>;

    std::uint64_t NowMicros() const { return nowMicros_; }

    // Runs `handler` as a message once the clock reaches `atMicros`.
    void Post(std::uint64_t atMicros, Handler handler) { Schedule(atMicros, std::move(handler), true); }

    // Runs `handler` at `atMicros` even inside a pause: what the line and
    // the devices do does not wait for the thread.
    void Happen(std::uint64_t atMicros, Handler handler) { Schedule(atMicros, std::move(handler), false); }

    // Blocks the thread: the clock moves on, only events happen.
    void Pause(std::uint64_t micros);

    // Runs messages and events until `done` answers true, nothing is left,
    // or the clock passes `limitMicros`. Answers whether `done` came true.
    bool RunUntil(const std::function<bool()>& done, std::uint64_t limitMicros);

private:
    struct Key {
        std::uint64_t atMicros;
        std::uint64_t sequence;
        bool operator<(const Key& other) const
        {
            return atMicros != other.atMicros ? atMicros < other.atMicros : sequence < other.sequence;
        }
    };
    struct Entry {
        Handler handler;
        bool isMessage;
    };
    void Schedule(std::uint64_t atMicros, Handler handler, bool isMessage);

    std::uint64_t nowMicros_ = 0;
    std::uint64_t sequence_ = 0;
    std::map<Key, Entry> queue_;
};

} // namespace tavex::test
