#pragma once

// The operator's stop as an event of the main thread's loop: SIGINT, SIGTERM
// and SIGHUP (the terminal closed under a download) on Linux; Ctrl-C,
// Ctrl-Break and the console's close on Windows. The handler only hands the
// stop on; the loop calls `onSignal`, once for each.

#include "cli/host/thread_loop.h"

#include <functional>
#include <memory>
#include <string>

namespace tavex {

class SignalRelay {
public:
    // When the relay cannot be set up it catches nothing, and Failure says
    // why: a download started then could not be cancelled cleanly.
    SignalRelay(ThreadLoop& mainLoop, std::function<void()> onSignal);
    ~SignalRelay();
    SignalRelay(const SignalRelay&) = delete;
    SignalRelay& operator=(const SignalRelay&) = delete;

    const std::string& Failure() const;  // empty while the relay works

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tavex
