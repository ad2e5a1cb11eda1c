#include "serial/win32/port_reader.h"

#include <algorithm>
#include <utility>

namespace tavex {

namespace {

constexpr std::size_t kReadChunk = 4096;
// A wait that keeps ending with nothing to read is not retried at once: the
// pause grows to this at most, which a byte that does arrive meanwhile waits
// out at worst.
constexpr DWORD kMostIdlePauseMs = 20;
// How often a pending wait or read looks whether bytes are waiting that it
// was not woken for.
constexpr DWORD kStallCheckMs = 100;

} // namespace

PortReader::PortReader(HANDLE port, const MessageWindow& window, UINT arrivedMessage)
    : port_(port), window_(window), arrivedMessage_(arrivedMessage)
{
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (stop_ == nullptr) {
        return;
    }
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // Started() says so.
    }
}

PortReader::~PortReader()
{
    if (thread_.joinable()) {
        SetEvent(stop_);
        thread_.join();
    }
    if (stop_ != nullptr) {
        CloseHandle(stop_);
    }
}

ReaderNews PortReader::Take()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    posted_ = false;
    ReaderNews taken = std::move(news_);
    news_ = ReaderNews{};
    return taken;
}

bool PortReader::Stopping() const { return WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0; }

void PortReader::Run()
{
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (overlapped.hEvent == nullptr) {
        Lost(GetLastError());
        return;
    }
    DWORD idlePauseMs = 0;
    while (!Stopping()) {
        DWORD mask = 0;
        ResetEvent(overlapped.hEvent);
        const Outcome wait = Finish(WaitCommEvent(port_, &mask, &overlapped), overlapped);
        if (wait.stopped) {
            break;
        }
        // Wine ends a wait on a pseudo-terminal this way, with no event, when
        // bytes arrive: what has arrived is read below all the same.
        if (wait.error != 0 && wait.error != ERROR_OPERATION_ABORTED) {
            Lost(wait.error);
            break;
        }
        DWORD lineErrors = 0;
        COMSTAT status{};
        if (!ClearCommError(port_, &lineErrors, &status)) {
            Lost(GetLastError());
            break;
        }
        lineErrors |= std::exchange(heldLineErrors_, 0);
        std::vector<std::uint8_t> arrived;
        DWORD readError = 0;
        if (!ReadWaiting(overlapped, arrived, readError)) {
            if (readError != 0) {
                Lost(readError);
            }
            break;
        }
        if (!arrived.empty() || lineErrors != 0) {
            idlePauseMs = 0;
            Hand(std::move(arrived), lineErrors);
        } else if (mask == 0) {
            idlePauseMs = std::min(kMostIdlePauseMs, idlePauseMs + 1);
            WaitForSingleObject(stop_, idlePauseMs);
        }
    }
    CloseHandle(overlapped.hEvent);
}

// Everything the driver holds: a read returns at once with what there is.
// Wine's waits instead for the first byte when there is none, which the stop
// event ends as it ends a wait. False when the reader was stopped (error 0)
// or the read failed: a pseudo-terminal whose other end closed answers
// ERROR_BROKEN_PIPE.
bool PortReader::ReadWaiting(OVERLAPPED& overlapped, std::vector<std::uint8_t>& arrived, DWORD& error)
{
    std::uint8_t chunk[kReadChunk];
    for (;;) {
        ResetEvent(overlapped.hEvent);
        const Outcome read = Finish(ReadFile(port_, chunk, sizeof(chunk), nullptr, &overlapped), overlapped);
        if (read.stopped) {
            error = 0;
            return false;
        }
        // Aborted: ended by AwaitCompletion, with the bytes it found still to read.
        if (read.error != 0 && read.error != ERROR_OPERATION_ABORTED) {
            error = read.error;
            return false;
        }
        arrived.insert(arrived.end(), chunk, chunk + read.transferred);
        if (read.error != 0 || read.transferred < sizeof(chunk)) {
            return true;
        }
    }
}

PortReader::Outcome PortReader::Finish(BOOL started, OVERLAPPED& overlapped)
{
    Outcome outcome;
    if (!started) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
            outcome.error = error;
            return outcome;
        }
        if (!AwaitCompletion(overlapped)) {
            return Abandon(overlapped);
        }
    }
    return Collect(overlapped);
}

// Wine, on a busy machine, now and then misses the arrival of bytes for a
// pending wait or read, which would then wait on with a reply in the queue.
// Bytes found waiting at two checks in a row end the operation: the caller
// reads what is there. False when the reader is stopping.
bool PortReader::AwaitCompletion(OVERLAPPED& overlapped)
{
    const HANDLE handles[] = {overlapped.hEvent, stop_};
    int checksWithBytes = 0;
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(2, handles, FALSE, kStallCheckMs);
        if (woken == WAIT_OBJECT_0) {
            return true;
        }
        if (woken != WAIT_TIMEOUT) {
            return false;
        }
        checksWithBytes = BytesWaiting() ? checksWithBytes + 1 : 0;
        if (checksWithBytes == 2) {
            CancelIoEx(port_, &overlapped);
            return true;
        }
    }
}

// Line errors met on the way are kept for the next hand-over.
bool PortReader::BytesWaiting()
{
    DWORD lineErrors = 0;
    COMSTAT status{};
    if (!ClearCommError(port_, &lineErrors, &status)) {
        return false;  // the operation itself will report the failure
    }
    heldLineErrors_ |= lineErrors;
    return status.cbInQue > 0;
}

// Wine can signal the event, or return at once, before the result is in
// the OVERLAPPED: the operation is then still incomplete, which is no
// failure. The result follows within moments; the pause grows so that a
// result that is late for longer costs no busy loop.
PortReader::Outcome PortReader::Collect(OVERLAPPED& overlapped)
{
    Outcome outcome;
    DWORD pauseMs = 0;
    while (!GetOverlappedResult(port_, &overlapped, &outcome.transferred, FALSE)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_INCOMPLETE) {
            outcome.error = error;
            return outcome;
        }
        pauseMs = std::min(kMostIdlePauseMs, pauseMs + 1);
        if (WaitForSingleObject(stop_, pauseMs) == WAIT_OBJECT_0) {
            return Abandon(overlapped);
        }
    }
    return outcome;
}

// The reader is stopping: the operation may not outlive its OVERLAPPED.
PortReader::Outcome PortReader::Abandon(OVERLAPPED& overlapped)
{
    Outcome outcome;
    CancelIoEx(port_, &overlapped);
    GetOverlappedResult(port_, &overlapped, &outcome.transferred, TRUE);
    outcome.stopped = true;
    return outcome;
}

void PortReader::Hand(std::vector<std::uint8_t> bytes, DWORD lineErrors)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    news_.bytes.insert(news_.bytes.end(), bytes.begin(), bytes.end());
    news_.lineErrors |= lineErrors;
    PostLocked();
}

void PortReader::Lost(DWORD error)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    news_.lostError = error;
    PostLocked();
}

void PortReader::PostLocked()
{
    if (!posted_) {
        posted_ = window_.Post(arrivedMessage_);
    }
}

} // namespace tavex
