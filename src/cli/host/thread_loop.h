#pragma once

// The event loop of one thread, as the command line uses it: calls handed
// in from any thread, one timer, and the loop run until quit. Qt's event
// loop off Windows, the thread's message queue on Windows; the comm control
// of the same platform delivers its notifications through the same loop.

#include <functional>
#include <memory>

namespace tavex {

class ThreadLoop {
public:
    // On the thread whose loop it is; it stays that thread's.
    ThreadLoop();
    ~ThreadLoop();
    ThreadLoop(const ThreadLoop&) = delete;
    ThreadLoop& operator=(const ThreadLoop&) = delete;

    // From any thread: `call` runs on the loop's thread, after those posted
    // before it. Calls still waiting when the loop goes are dropped.
    void Post(std::function<void()> call);

    // Handles the thread's events until Quit.
    void Run();
    // On the loop's thread: Run returns once the event being handled is done.
    void Quit();

    // A repeating timer (the session's watchdog); starting it again restarts it.
    void StartTimer(unsigned periodMs, std::function<void()> fire);
    void StopTimer();

    // Handles whatever events wait on the calling thread, then returns.
    static void HandlePending();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tavex
