#include "support/virtual_session_host.h"

namespace tavex::test {

void VirtualSessionHost::At(std::uint64_t milliseconds, std::function<void()> action)
{
    loop_.Post(milliseconds * 1000, std::move(action));
}

void VirtualSessionHost::PostStepMessage()
{
    loop_.Post(loop_.NowMicros(), [this] { session_->OnStep(); });
}

unsigned VirtualSessionHost::StartTimer(unsigned timerId, unsigned periodMs)
{
    if (!timerAvailable) {
        return 0;
    }
    timerRunning_ = true;
    const std::uint64_t generation = ++timerGeneration_;
    loop_.Post(loop_.NowMicros() + periodMs * 1000ULL, [=, this] { Tick(timerId, periodMs, generation); });
    return timerId;
}

bool VirtualSessionHost::StopTimer(unsigned)
{
    timerRunning_ = false;
    ++timerGeneration_;
    return true;
}

// Ticks that fall due while the thread is busy come as one, as window
// timers do.
void VirtualSessionHost::Tick(unsigned timerId, unsigned periodMs, std::uint64_t generation)
{
    if (!timerRunning_ || generation != timerGeneration_) {
        return;
    }
    session_->OnTimer(timerId);
    loop_.Post(loop_.NowMicros() + periodMs * 1000ULL, [=, this] { Tick(timerId, periodMs, generation); });
}

void VirtualSessionHost::Pause(unsigned milliseconds)
{
    pausesMs.push_back(milliseconds);
    loop_.Pause(milliseconds * 1000ULL);
}

void VirtualSessionHost::FillComList(int entryCount, int selectedIndex)
{
    comEntries = entryCount;
    comSelection = selectedIndex;
}

} // namespace tavex::test
