#pragma once

// Hands the control's notifications to its OnComm handler from the owning
// thread's message loop, by the rules of CommEventQueue: a delivery is a
// message posted to the control's window.

#include "serial/comm_event_queue.h"
#include "serial/win32/message_window.h"

#include <cstdint>
#include <functional>

namespace tavex {

class Win32CommNotifier {
public:
    using StillDue = CommEventQueue::StillDue;

    // Deliveries are posted to window as message deliverMessage; the
    // window's owner passes that message on to DeliverPending.
    Win32CommNotifier(const MessageWindow& window, UINT deliverMessage, StillDue stillDue)
        : queue_(std::move(stillDue), [&window, deliverMessage] { return window.Post(deliverMessage); })
    {
    }

    void SetOnComm(std::function<void()> onComm) { queue_.SetOnComm(std::move(onComm)); }
    void Raise(std::int16_t commEvent) { queue_.Raise(commEvent); }
    void Clear() { queue_.Clear(); }

    // Runs on the delivery message.
    void DeliverPending() { queue_.DeliverPending(); }

    std::int16_t LastEvent() const { return queue_.LastEvent(); }

private:
    CommEventQueue queue_;
};

} // namespace tavex
