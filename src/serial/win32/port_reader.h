#pragma once

// The thread that waits for a COM port's bytes and line errors and hands
// them to the thread owning the control: it keeps them under a lock and
// tells that thread once, until it takes them.
//
// No wait of the reader is unbounded. A driver that signals an operation's
// end without ever giving its result, or never ends a wait although bytes
// have come, costs a few milliseconds, not the reply.

#include "platform/win32/windows_api.h"
#include "serial/win32/reader_calls.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tavex {

// The comm mask the reader needs on its port.
inline constexpr DWORD kPortReaderEvents = EV_RXCHAR | EV_ERR | EV_BREAK;

// What the reader has for the owning thread since it last took.
struct ReaderNews {
    std::vector<std::uint8_t> bytes;
    DWORD lineErrors = 0;            // CE_ flags from ClearCommError
    std::optional<DWORD> lostError;  // the device failed; the reader has stopped
};

class PortReader {
public:
    // Called from the reader's thread when news wait and none was announced
    // since the last Take; false when the announcement could not be made.
    using Announce = std::function<bool()>;

    // Starts reading port, whose comm mask has to be kPortReaderEvents and
    // whose read time-outs return at once with what the driver holds.
    PortReader(HANDLE port, ReaderCalls& calls, Announce announce);
    ~PortReader();
    PortReader(const PortReader&) = delete;
    PortReader& operator=(const PortReader&) = delete;

    // False when the system could not give the reader its events or thread.
    bool Started() const { return started_; }

    // Ends the reader's thread. Close the port before the reader is
    // destroyed: an operation the driver never ended, even then, keeps its
    // OVERLAPPED and event for good, as the driver may still write to them.
    void Stop();

    // Called by the owning thread.
    ReaderNews Take();

private:
    // One OVERLAPPED with its own event, for one operation at a time.
    struct Operation {
        Operation();
        ~Operation();
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;
        OVERLAPPED overlapped{};
        DWORD events = 0;           // a wait's events land here,
        std::uint8_t buffer[4096];  // a read's bytes here: never in memory the reader frees
    };

    enum class Ending { kDone, kUnfinished, kStopped, kFailed };
    struct Outcome {
        Ending ending = Ending::kDone;
        DWORD error = 0;
        DWORD transferred = 0;
    };

    void Run();
    bool Gather(DWORD& idlePauseMs);
    bool ReadQueued(DWORD bytesQueued, std::vector<std::uint8_t>& arrived);
    OVERLAPPED& Next();
    Outcome Perform(DWORD started);
    Outcome Collect(bool stopEndsIt, DWORD boundMs);
    Outcome Abandon();
    Outcome Unfinished();
    bool Pause(DWORD milliseconds);
    bool Stopping();
    void Hand(std::vector<std::uint8_t> bytes, DWORD lineErrors);
    void Lost(DWORD error);
    void AnnounceLocked();

    HANDLE port_;
    ReaderCalls& calls_;
    Announce announce_;
    HANDLE stop_ = nullptr;
    std::unique_ptr<Operation> operation_;
    // Operations a driver never ended: their memory stays theirs.
    std::vector<std::unique_ptr<Operation>> unfinished_;
    std::mutex mutex_;
    ReaderNews news_;
    bool announced_ = false;
    bool started_ = false;
    std::thread thread_;
};

} // namespace tavex
