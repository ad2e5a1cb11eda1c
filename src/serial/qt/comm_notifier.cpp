#include "serial/qt/comm_notifier.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace tavex {

void CommNotifier::Raise(std::int16_t commEvent)
{
    if (std::find(pending_.begin(), pending_.end(), commEvent) == pending_.end()) {
        pending_.push_back(commEvent);
    }
    PostDelivery();
}

void CommNotifier::PostDelivery()
{
    if (deliveryPosted_) {
        return;
    }
    deliveryPosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            deliveryPosted_ = false;
            DeliverPending();
        },
        Qt::QueuedConnection);
}

void CommNotifier::DeliverPending()
{
    // A handler that spins an event loop would otherwise get the next
    // notification before it has returned from this one; the loop below
    // delivers it once the handler is back.
    if (delivering_) {
        return;
    }
    const QScopedValueRollback<bool> delivering(delivering_, true);
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
