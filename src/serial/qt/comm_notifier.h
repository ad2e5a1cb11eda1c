#pragma once

// Hands the control's notifications to its OnComm handler from the Qt event
// loop, by the rules of CommEventQueue: a delivery is a queued call.

#include "serial/comm_event_queue.h"

#include <QObject>

#include <cstdint>
#include <functional>

namespace tavex {

class CommNotifier : public QObject {
public:
    using StillDue = CommEventQueue::StillDue;

    explicit CommNotifier(StillDue stillDue);

    void SetOnComm(std::function<void()> onComm) { queue_.SetOnComm(std::move(onComm)); }
    void Raise(std::int16_t commEvent) { queue_.Raise(commEvent); }
    void Clear() { queue_.Clear(); }
    std::int16_t LastEvent() const { return queue_.LastEvent(); }

private:
    CommEventQueue queue_;
};

} // namespace tavex
