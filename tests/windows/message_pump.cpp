#include "message_pump.h"

#include "platform/win32/windows_api.h"

namespace tavex::test {

namespace {

using Clock = std::chrono::steady_clock;

void DispatchWaiting()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

bool PumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const Clock::time_point deadline = Clock::now() + limit;
    for (;;) {
        DispatchWaiting();
        if (done()) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void PumpMessagesFor(std::chrono::milliseconds duration)
{
    PumpMessagesUntil([] { return false; }, duration);
}

} // namespace tavex::test
