#include "serial/qt/comm_notifier.h"

namespace tavex {

CommNotifier::CommNotifier(StillDue stillDue)
    : queue_(std::move(stillDue), [this] {
          QMetaObject::invokeMethod(this, [this] { queue_.DeliverPending(); }, Qt::QueuedConnection);
          return true;
      })
{
}

} // namespace tavex
