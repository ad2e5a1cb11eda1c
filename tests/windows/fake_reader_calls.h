#pragma once

// A serial driver under the port reader, in memory: bytes arrive when the
// test says, and each wait or read can be told to end in one of the orders
// a real driver (or wine's) has been seen to use.

#include "serial/win32/reader_calls.h"

#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace tavex::test {

// How one wait or read ends.
enum class Ending {
    kBehaves,                // a wait ends when bytes come, a read at once with them
    kSignalledWithoutResult, // the end is signalled, the result never reaches the OVERLAPPED
    kResultWithoutSignal,    // the result is in the OVERLAPPED, the end is never signalled
    kNeverEnds,              // pending for good, a cancel included
    kAbortedAtOnce,          // ends at once as aborted, with no event (wine's on a pty)
    kZeroBytes,              // a read that ends at once with nothing
    kFails,                  // the call fails at once with `error`
    kFailsLater,             // pending, then signalled with `error` as its result
};

struct Script {
    Ending ending = Ending::kBehaves;
    DWORD error = 0;
};

class FakeReaderCalls : public ReaderCalls {
public:
    // The next waits and reads go by these, in turn; then they behave, or
    // go as `afterwards` says.
    void ScriptWaits(std::deque<Script> scripts, Ending afterwards = Ending::kBehaves);
    void ScriptReads(std::deque<Script> scripts);
    void FailClearCommError(DWORD error);
    void FailOperationWaits(DWORD error);  // waits for an operation's end answer WAIT_FAILED
    void LineErrors(DWORD errors);         // reported by the next ClearCommError

    // Bytes come from the line: a wait that behaves ends.
    void Arrive(const std::string& bytes);

    struct Counts {
        int waits = 0;
        int reads = 0;
        int cancels = 0;
        int calls = 0;
        bool unfinishedReused = false;  // an OVERLAPPED the driver never ended was used again
    };
    Counts Counted();

    DWORD WaitCommEvent(HANDLE port, DWORD& mask, OVERLAPPED& overlapped) override;
    DWORD ReadFile(HANDLE port, std::uint8_t* into, DWORD size, OVERLAPPED& overlapped) override;
    DWORD GetOverlappedResult(HANDLE port, OVERLAPPED& overlapped, DWORD& transferred) override;
    DWORD ClearCommError(HANDLE port, DWORD& lineErrors, DWORD& bytesQueued) override;
    void CancelIo(HANDLE port, OVERLAPPED& overlapped) override;
    DWORD WaitForAny(const HANDLE* handles, DWORD count, DWORD milliseconds) override;

private:
    struct Operation {
        Ending ending = Ending::kBehaves;
        bool done = false;
        DWORD error = 0;
        DWORD transferred = 0;
        DWORD* mask = nullptr;
    };

    Script NextScript(std::deque<Script>& scripts, Ending afterwards);
    DWORD Start(OVERLAPPED& overlapped, Operation operation);
    void End(OVERLAPPED& overlapped, Operation& operation, DWORD error, DWORD transferred, bool signal);
    void Called(OVERLAPPED* overlapped);

    std::mutex mutex_;
    std::deque<Script> waitScripts_;
    Ending waitsAfterwards_ = Ending::kBehaves;
    std::deque<Script> readScripts_;
    DWORD clearCommError_ = 0;
    DWORD operationWaitError_ = 0;
    DWORD lineErrors_ = 0;
    std::string queued_;
    std::map<OVERLAPPED*, Operation> operations_;
    Counts counts_;
};

} // namespace tavex::test
