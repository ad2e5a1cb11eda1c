#pragma once

// Hands the control's notifications to its OnComm handler from the owning
// thread's message loop, one at a time, never from inside a property write
// and never nested in the handler's own call.

#include "serial/win32/message_window.h"

#include <cstdint>
#include <deque>
#include <functional>

namespace tavex {

class Win32CommNotifier {
public:
    // Asked when an event's turn comes: a receive event whose bytes were
    // taken meanwhile is no longer worth a notification.
    using StillDue = std::function<bool(std::int16_t commEvent)>;

    // Deliveries are posted to window as message deliverMessage; the
    // window's owner passes that message on to DeliverPending.
    Win32CommNotifier(const MessageWindow& window, UINT deliverMessage, StillDue stillDue)
        : window_(window), deliverMessage_(deliverMessage), stillDue_(std::move(stillDue))
    {
    }

    void SetOnComm(std::function<void()> onComm) { onComm_ = std::move(onComm); }

    // Queues an event unless the same one is already waiting.
    void Raise(std::int16_t commEvent);
    void Clear() { pending_.clear(); }

    // Runs on the delivery message.
    void DeliverPending();

    // The CommEvent of the notification being or last delivered; 0 before any.
    std::int16_t LastEvent() const { return lastEvent_; }

private:
    void PostDelivery();

    const MessageWindow& window_;
    UINT deliverMessage_;
    StillDue stillDue_;
    std::function<void()> onComm_;
    std::deque<std::int16_t> pending_;
    std::int16_t lastEvent_ = 0;
    bool deliveryPosted_ = false;
    bool delivering_ = false;
};

} // namespace tavex
