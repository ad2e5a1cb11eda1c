#include "event_loop_wait.h"

#include <QAbstractEventDispatcher>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace tavex::test {

namespace {

// Blocks in the event loop (no busy wait) for at most the given time.
void RunEventsBriefly(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        RunEventsBriefly(std::chrono::milliseconds(5));
    }
    return true;
}

void RunEventsFor(std::chrono::milliseconds duration) { RunEventsBriefly(duration); }

std::size_t EventLoopTurnsFor(std::chrono::milliseconds duration)
{
    std::size_t turns = 0;
    const QMetaObject::Connection counting =
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] { ++turns; });
    RunEventsBriefly(duration);
    QObject::disconnect(counting);
    return turns;
}

} // namespace tavex::test
