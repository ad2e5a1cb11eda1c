#pragma once

// The thread that waits for a COM port's bytes and line errors and hands
// them to the thread owning the control: it keeps them under a lock and
// posts one message to the control's window until they are taken.

#include "platform/windows_api.h"
#include "serial/win32/message_window.h"

#include <cstdint>
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
    // Starts reading port, whose comm mask has to be kPortReaderEvents; arrivedMessage goes
    // to window whenever news are waiting and none was posted since the last
    // Take. The port is read through its own OVERLAPPED, and outlives the
    // reader.
    PortReader(HANDLE port, const MessageWindow& window, UINT arrivedMessage);
    ~PortReader();
    PortReader(const PortReader&) = delete;
    PortReader& operator=(const PortReader&) = delete;

    // Empty when the system could not give the reader its events or thread.
    bool Started() const { return thread_.joinable(); }

    // Called by the owning thread.
    ReaderNews Take();

private:
    struct Outcome {
        bool stopped = false;
        DWORD error = 0;
        DWORD transferred = 0;
    };

    void Run();
    bool ReadWaiting(OVERLAPPED& overlapped, std::vector<std::uint8_t>& arrived, DWORD& error);
    Outcome Finish(BOOL started, OVERLAPPED& overlapped);
    bool AwaitCompletion(OVERLAPPED& overlapped);
    bool BytesWaiting();
    Outcome Collect(OVERLAPPED& overlapped);
    Outcome Abandon(OVERLAPPED& overlapped);
    bool Stopping() const;
    void Hand(std::vector<std::uint8_t> bytes, DWORD lineErrors);
    void Lost(DWORD error);
    void PostLocked();

    HANDLE port_;
    const MessageWindow& window_;
    UINT arrivedMessage_;
    HANDLE stop_ = nullptr;
    std::mutex mutex_;
    ReaderNews news_;
    DWORD heldLineErrors_ = 0;  // the reader thread's own
    bool posted_ = false;
    std::thread thread_;
};

} // namespace tavex
