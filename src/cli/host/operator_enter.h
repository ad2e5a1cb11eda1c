#pragma once

// The operator's Enter on standard input, as calls on the main thread's loop
// (the station loop's "next keyboard"). At the end of the input no more come.

#include "cli/host/thread_loop.h"

#include <functional>
#include <memory>

namespace tavex {

class OperatorEnter {
public:
    OperatorEnter(ThreadLoop& mainLoop, std::function<void()> onEnter);
    ~OperatorEnter();
    OperatorEnter(const OperatorEnter&) = delete;
    OperatorEnter& operator=(const OperatorEnter&) = delete;

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

} // namespace tavex
