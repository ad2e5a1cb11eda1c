#include "serial/win32/port_reader.h"

#include <algorithm>
#include <utility>

namespace tavex {

namespace {

// A wait or read the driver has not ended by then is ended by the reader,
// which then reads what the driver holds: a driver that misses an arrival
// delays a reply by this at most.
constexpr DWORD kOperationBoundMs = 100;
// How long the result of an operation whose end was signalled may take to
// reach its OVERLAPPED.
constexpr DWORD kResultBoundMs = 10;
// How long an operation the reader cancelled may take to end: wine ends a
// cancelled wait through a thread of its own, 19 ms later on an idle
// machine. A wait it has not ended refuses the next one.
constexpr DWORD kCancelBoundMs = 1000;
// Rounds that bring nothing are not repeated at once: the pause between
// them grows to this at most, which a byte that arrives meanwhile waits out
// at worst.
constexpr DWORD kMostIdlePauseMs = 20;

} // namespace

PortReader::Operation::Operation() { overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }

PortReader::Operation::~Operation()
{
    if (overlapped.hEvent != nullptr) {
        CloseHandle(overlapped.hEvent);
    }
}

PortReader::PortReader(HANDLE port, ReaderCalls& calls, Announce announce)
    : port_(port), calls_(calls), announce_(std::move(announce))
{
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    operation_ = std::make_unique<Operation>();
    if (stop_ == nullptr || operation_->overlapped.hEvent == nullptr) {
        return;
    }
    try {
        thread_ = std::thread([this] { Run(); });
        started_ = true;
    } catch (const std::system_error&) {
        // Started() says so.
    }
}

PortReader::~PortReader()
{
    Stop();
    for (std::unique_ptr<Operation>& unfinished : unfinished_) {
        unfinished.release();  // NOLINT: left to the driver, see Stop
    }
    if (stop_ != nullptr) {
        CloseHandle(stop_);
    }
}

void PortReader::Stop()
{
    if (thread_.joinable()) {
        SetEvent(stop_);
        thread_.join();
    }
}

ReaderNews PortReader::Take()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    announced_ = false;
    ReaderNews taken = std::move(news_);
    news_ = ReaderNews{};
    return taken;
}

void PortReader::Run()
{
    DWORD idlePauseMs = 0;
    while (!Stopping()) {
        Operation& operation = *operation_;
        const Outcome wait = Perform(calls_.WaitCommEvent(port_, operation.events, Next()));
        if (wait.ending == Ending::kStopped) {
            return;
        }
        // Wine ends a wait on a pseudo-terminal as aborted when bytes
        // arrive; any wait that ends without an event is followed by a look
        // at the driver all the same. A wait the driver never ended refuses
        // every later one as an invalid parameter: the reader then looks at
        // the driver in rounds.
        const bool refusedBehindAnUnfinishedWait = wait.error == ERROR_INVALID_PARAMETER && !unfinished_.empty();
        if (wait.ending == Ending::kFailed && wait.error != ERROR_OPERATION_ABORTED && !refusedBehindAnUnfinishedWait) {
            Lost(wait.error);
            return;
        }
        if (!Gather(idlePauseMs)) {
            return;
        }
    }
}

// Hands on the line errors and the bytes the driver holds. False when the
// reader ends.
bool PortReader::Gather(DWORD& idlePauseMs)
{
    DWORD lineErrors = 0;
    DWORD bytesQueued = 0;
    if (const DWORD error = calls_.ClearCommError(port_, lineErrors, bytesQueued); error != 0) {
        Lost(error);
        return false;
    }
    std::vector<std::uint8_t> arrived;
    if (bytesQueued > 0 && !ReadQueued(bytesQueued, arrived)) {
        return false;
    }
    if (!arrived.empty() || lineErrors != 0) {
        idlePauseMs = 0;
        Hand(std::move(arrived), lineErrors);
        return true;
    }
    // Wine ends a wait on a pseudo-terminal every few milliseconds with
    // nothing to read.
    idlePauseMs = std::min(kMostIdlePauseMs, idlePauseMs + 1);
    return Pause(idlePauseMs);
}

// The bytes the driver said it holds; the read time-outs make each read
// return at once. A read that brings nothing leaves the rest to the next
// round. False when the reader ends.
bool PortReader::ReadQueued(DWORD bytesQueued, std::vector<std::uint8_t>& arrived)
{
    while (arrived.size() < bytesQueued) {
        Operation& operation = *operation_;
        const DWORD size = std::min<DWORD>(bytesQueued - static_cast<DWORD>(arrived.size()), sizeof operation.buffer);
        const Outcome read = Perform(calls_.ReadFile(port_, operation.buffer, size, Next()));
        if (read.ending == Ending::kStopped) {
            return false;
        }
        // Aborted: ended by the reader after kOperationBoundMs, with what it had.
        if (read.ending == Ending::kFailed && read.error != ERROR_OPERATION_ABORTED) {
            Lost(read.error);
            return false;
        }
        const DWORD transferred = std::min(read.transferred, size);
        arrived.insert(arrived.end(), operation.buffer, operation.buffer + transferred);
        if (transferred == 0) {
            break;
        }
    }
    return true;
}

// The current operation made ready for its next use.
OVERLAPPED& PortReader::Next()
{
    OVERLAPPED& overlapped = operation_->overlapped;
    const HANDLE event = overlapped.hEvent;
    overlapped = OVERLAPPED{};
    overlapped.hEvent = event;
    operation_->events = 0;
    ResetEvent(event);
    return overlapped;
}

// The end of an operation the system was just asked for (started: its
// answer).
PortReader::Outcome PortReader::Perform(DWORD started)
{
    if (started == 0) {
        return Collect(true, kResultBoundMs);
    }
    if (started != ERROR_IO_PENDING) {
        return Outcome{Ending::kFailed, started, 0};
    }
    const HANDLE handles[] = {operation_->overlapped.hEvent, stop_};
    const DWORD woken = calls_.WaitForAny(handles, 2, kOperationBoundMs);
    if (woken == WAIT_OBJECT_0) {
        return Collect(true, kResultBoundMs);
    }
    if (woken == WAIT_TIMEOUT) {
        calls_.CancelIo(port_, operation_->overlapped);
        return Collect(true, kCancelBoundMs);
    }
    if (woken == WAIT_OBJECT_0 + 1) {
        return Abandon();
    }
    const DWORD error = GetLastError();
    Abandon();
    return Outcome{Ending::kFailed, error, 0};
}

// Wine can signal an operation's end and never put its result in the
// OVERLAPPED: its helper thread writes the final status, and the thread
// that asked writes "pending" over it. After boundMs the operation is taken
// as one that ended with nothing.
PortReader::Outcome PortReader::Collect(bool stopEndsIt, DWORD boundMs)
{
    Outcome outcome;
    const ULONGLONG giveUpAt = GetTickCount64() + boundMs;
    for (;;) {
        const DWORD error = calls_.GetOverlappedResult(port_, operation_->overlapped, outcome.transferred);
        if (error == 0) {
            return outcome;
        }
        if (error != ERROR_IO_INCOMPLETE) {
            outcome.ending = Ending::kFailed;
            outcome.error = error;
            return outcome;
        }
        if (GetTickCount64() >= giveUpAt) {
            return Unfinished();
        }
        if (!stopEndsIt) {
            Sleep(1);  // the stop is set: Pause no longer waits
        } else if (!Pause(1)) {
            return Abandon();
        }
    }
}

// The reader is stopping: the operation is cancelled and waited for, as
// the driver writes into it until it has ended.
PortReader::Outcome PortReader::Abandon()
{
    calls_.CancelIo(port_, operation_->overlapped);
    Collect(false, kCancelBoundMs);
    return Outcome{Ending::kStopped, 0, 0};
}

// The driver may still write into the operation's OVERLAPPED and buffer:
// they stay its own, and the reader goes on with a new one.
PortReader::Outcome PortReader::Unfinished()
{
    unfinished_.push_back(std::move(operation_));
    operation_ = std::make_unique<Operation>();
    if (operation_->overlapped.hEvent == nullptr) {
        return Outcome{Ending::kFailed, GetLastError(), 0};
    }
    return Outcome{Ending::kUnfinished, 0, 0};
}

// False when the reader is to end.
bool PortReader::Pause(DWORD milliseconds) { return calls_.WaitForAny(&stop_, 1, milliseconds) == WAIT_TIMEOUT; }

bool PortReader::Stopping() { return !Pause(0); }

void PortReader::Hand(std::vector<std::uint8_t> bytes, DWORD lineErrors)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    news_.bytes.insert(news_.bytes.end(), bytes.begin(), bytes.end());
    news_.lineErrors |= lineErrors;
    AnnounceLocked();
}

void PortReader::Lost(DWORD error)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    news_.lostError = error;
    AnnounceLocked();
}

void PortReader::AnnounceLocked()
{
    if (!announced_) {
        announced_ = announce_();
    }
}

} // namespace tavex
