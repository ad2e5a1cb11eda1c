#include "serial/comm_event_queue.h"

#include <algorithm>

namespace tavex {

void CommEventQueue::Raise(std::int16_t commEvent)
{
    if (std::find(pending_.begin(), pending_.end(), commEvent) == pending_.end()) {
        pending_.push_back(commEvent);
    }
    if (!deliveryPosted_) {
        deliveryPosted_ = postDelivery_();
    }
}

void CommEventQueue::DeliverPending()
{
    deliveryPosted_ = false;
    // A handler that spins an event loop would otherwise get the next
    // notification before it has returned from this one; the loop below
    // delivers it once the handler is back.
    if (delivering_) {
        return;
    }
    delivering_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{delivering_};
    while (!pending_.empty()) {
        const std::int16_t commEvent = pending_.front();
        pending_.pop_front();
        if (!stillDue_(commEvent)) {
            continue;
        }
        lastEvent_ = commEvent;
        if (onComm_) {
            onComm_();
        }
    }
}

} // namespace tavex
