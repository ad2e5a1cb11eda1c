#pragma once

#include <ctime>
#include <optional>

// Serves a keyboard model on a pseudo-terminal: the host's bytes go to the
// model as they arrive, its replies go out when they are due.

#include "sim/keyboard_model.h"
#include "sim/pty_master.h"
#include "sim/reply_queue.h"
#include "sim/stop_signal.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace tavex {

enum class ServeEnd : std::uint8_t {
    Stopped,      // SIGINT or SIGTERM
    SessionOver,  // the one session asked for has ended
    Vanished,     // the keyboard vanished on purpose
    Failed,       // the line failed
};

class PtyServer {
public:
    // With `once`, serving ends when the first host that sent bytes closes
    // the device.
    PtyServer(PtyMaster& master, KeyboardModel& model, const StopSignal& stop, bool once);

    ServeEnd Run();

    // Replies dropped because the host left too many unread.
    std::uint64_t RepliesDropped() const { return replies_.DroppedReplies(); }

private:
    std::optional<timespec> PollTimeout() const;
    void ReadHost();
    std::optional<ServeEnd> EndSession();
    std::optional<ServeEnd> SendDue();
    void WaitWhileNobodyListens() const;
    std::uint64_t NowMicros() const;

    PtyMaster& master_;
    KeyboardModel& model_;
    const StopSignal& stop_;
    const bool once_;
    ReplyQueue replies_;
    bool sessionHeardBytes_ = false;
    bool hungUp_ = false;
    bool lineFull_ = false;
    unsigned sessionsOver_ = 0;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace tavex
