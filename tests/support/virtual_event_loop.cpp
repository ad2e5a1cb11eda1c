#include "support/virtual_event_loop.h"

#include <algorithm>

namespace tavex::test {

void VirtualEventLoop::Schedule(std::uint64_t atMicros, Handler handler, bool isMessage)
{
    queue_.emplace(Key{std::max(atMicros, nowMicros_), sequence_++}, Entry{std::move(handler), isMessage});
}

void VirtualEventLoop::Pause(std::uint64_t micros)
{
    const std::uint64_t end = nowMicros_ + micros;
    for (auto it = queue_.begin(); it != queue_.end() && it->first.atMicros <= end;) {
        if (it->second.isMessage) {
            ++it;
            continue;
        }
        nowMicros_ = std::max(nowMicros_, it->first.atMicros);
        Handler handler = std::move(it->second.handler);
        queue_.erase(it);
        handler();
        it = queue_.begin();
    }
    nowMicros_ = end;
}

bool VirtualEventLoop::RunUntil(const std::function<bool()>& done, std::uint64_t limitMicros)
{
    while (!done()) {
        if (queue_.empty() || queue_.begin()->first.atMicros > limitMicros) {
            return false;
        }
        auto first = queue_.begin();
        nowMicros_ = std::max(nowMicros_, first->first.atMicros);
        Handler handler = std::move(first->second.handler);
        queue_.erase(first);
        handler();
    }
    return true;
}

} // namespace tavex::test
