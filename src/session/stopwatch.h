#pragma once

#include "session/session_host.h"

#include <cstdint>

namespace tavex {

// Milliseconds on the tick count, in unsigned 32-bit arithmetic so that the
// counter's wrap does not disturb it.
class CStopwatch {
public:
    explicit CStopwatch(ITickSource& clock) : clock_(clock), start_(clock.TickCount()) {}
    void Restart() { start_ = clock_.TickCount(); }
    std::uint32_t Elapsed() const { return clock_.TickCount() - start_; }

private:
    ITickSource& clock_;
    std::uint32_t start_;
};

} // namespace tavex
