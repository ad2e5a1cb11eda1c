#pragma once

// The rules by which a comm control hands its notifications to OnComm: an
// event waits once however often it is raised, each is delivered alone,
// never from inside the call that raised it and never nested in the
// handler's own call. How a delivery reaches the owning thread's loop is the
// platform's: `postDelivery` asks for one (false when it cannot be had), and
// the loop answers with DeliverPending.

#include <cstdint>
#include <deque>
#include <functional>

namespace tavex {

class CommEventQueue {
public:
    // Asked when an event's turn comes: a receive event whose bytes were
    // taken meanwhile is no longer worth a notification.
    using StillDue = std::function<bool(std::int16_t commEvent)>;

    CommEventQueue(StillDue stillDue, std::function<bool()> postDelivery)
        : stillDue_(std::move(stillDue)), postDelivery_(std::move(postDelivery))
    {
    }

    void SetOnComm(std::function<void()> onComm) { onComm_ = std::move(onComm); }

    // Queues an event unless the same one is already waiting.
    void Raise(std::int16_t commEvent);
    void Clear() { pending_.clear(); }

    // The delivery asked for has come.
    void DeliverPending();

    // The CommEvent of the notification being or last delivered; 0 before any.
    std::int16_t LastEvent() const { return lastEvent_; }

private:
    StillDue stillDue_;
    std::function<bool()> postDelivery_;
    std::function<void()> onComm_;
    std::deque<std::int16_t> pending_;
    std::int16_t lastEvent_ = 0;
    bool deliveryPosted_ = false;
    bool delivering_ = false;
};

} // namespace tavex
