#include "fake_reader_calls.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tavex::test {

void FakeReaderCalls::ScriptWaits(std::deque<Script> scripts, Ending afterwards)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    waitScripts_ = std::move(scripts);
    waitsAfterwards_ = afterwards;
}

void FakeReaderCalls::ScriptReads(std::deque<Script> scripts)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    readScripts_ = std::move(scripts);
}

void FakeReaderCalls::FailClearCommError(DWORD error)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    clearCommError_ = error;
}

void FakeReaderCalls::FailOperationWaits(DWORD error)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    operationWaitError_ = error;
}

void FakeReaderCalls::LineErrors(DWORD errors)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    lineErrors_ |= errors;
}

void FakeReaderCalls::Arrive(const std::string& bytes)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    queued_ += bytes;
    for (auto& [overlapped, operation] : operations_) {
        if (!operation.done && operation.mask != nullptr && operation.ending == Ending::kBehaves) {
            *operation.mask = EV_RXCHAR;
            End(*overlapped, operation, 0, 0, true);
        }
    }
}

FakeReaderCalls::Counts FakeReaderCalls::Counted()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return counts_;
}

Script FakeReaderCalls::NextScript(std::deque<Script>& scripts, Ending afterwards)
{
    if (scripts.empty()) {
        return Script{afterwards, 0};
    }
    const Script next = scripts.front();
    scripts.pop_front();
    return next;
}

void FakeReaderCalls::Called(OVERLAPPED* overlapped)
{
    ++counts_.calls;
    const auto known = operations_.find(overlapped);
    if (known != operations_.end() && !known->second.done &&
        (known->second.ending == Ending::kSignalledWithoutResult || known->second.ending == Ending::kNeverEnds)) {
        counts_.unfinishedReused = true;
    }
}

DWORD FakeReaderCalls::WaitCommEvent(HANDLE, DWORD& mask, OVERLAPPED& overlapped)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    Called(&overlapped);
    ++counts_.waits;
    // As wine does, and Windows: one wait at a time.
    for (const auto& [other, operation] : operations_) {
        if (other != &overlapped && operation.mask != nullptr && !operation.done &&
            operation.ending != Ending::kSignalledWithoutResult) {
            return ERROR_INVALID_PARAMETER;
        }
    }
    const Script script = NextScript(waitScripts_, waitsAfterwards_);
    Operation operation{script.ending};
    operation.mask = &mask;
    if (script.ending == Ending::kBehaves && (!queued_.empty() || lineErrors_ != 0)) {
        mask = queued_.empty() ? EV_ERR : EV_RXCHAR;
        operation.done = true;
        operations_[&overlapped] = operation;
        SetEvent(overlapped.hEvent);
        return 0;
    }
    if (script.ending == Ending::kFails) {
        return script.error;
    }
    const DWORD started = Start(overlapped, operation);
    Operation& pending = operations_[&overlapped];
    if (script.ending == Ending::kAbortedAtOnce) {
        End(overlapped, pending, ERROR_OPERATION_ABORTED, 0, true);
    } else if (script.ending == Ending::kFailsLater) {
        End(overlapped, pending, script.error, 0, true);
    } else if (script.ending == Ending::kSignalledWithoutResult) {
        SetEvent(overlapped.hEvent);
    } else if (script.ending == Ending::kResultWithoutSignal) {
        mask = EV_RXCHAR;
        End(overlapped, pending, 0, 0, false);
    }
    return started;
}

DWORD FakeReaderCalls::ReadFile(HANDLE, std::uint8_t* into, DWORD size, OVERLAPPED& overlapped)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    Called(&overlapped);
    ++counts_.reads;
    const Script script = NextScript(readScripts_, Ending::kBehaves);
    if (script.ending == Ending::kFails) {
        return script.error;
    }
    const DWORD started = Start(overlapped, Operation{script.ending});
    Operation& pending = operations_[&overlapped];
    const auto take = [&] {
        const DWORD count = std::min<DWORD>(size, static_cast<DWORD>(queued_.size()));
        std::memcpy(into, queued_.data(), count);
        queued_.erase(0, count);
        return count;
    };
    switch (script.ending) {
    case Ending::kBehaves:
        End(overlapped, pending, 0, take(), true);
        return 0;
    case Ending::kZeroBytes:
        End(overlapped, pending, 0, 0, true);
        return 0;
    case Ending::kResultWithoutSignal:
        End(overlapped, pending, 0, take(), false);
        break;
    case Ending::kSignalledWithoutResult:
        SetEvent(overlapped.hEvent);
        break;
    case Ending::kFailsLater:
        End(overlapped, pending, script.error, 0, true);
        break;
    default:
        break;
    }
    return started;
}

DWORD FakeReaderCalls::Start(OVERLAPPED& overlapped, Operation operation)
{
    operations_[&overlapped] = operation;
    return ERROR_IO_PENDING;
}

void FakeReaderCalls::End(OVERLAPPED& overlapped, Operation& operation, DWORD error, DWORD transferred, bool signal)
{
    operation.done = true;
    operation.error = error;
    operation.transferred = transferred;
    if (signal) {
        SetEvent(overlapped.hEvent);
    }
}

DWORD FakeReaderCalls::GetOverlappedResult(HANDLE, OVERLAPPED& overlapped, DWORD& transferred)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    ++counts_.calls;
    const auto known = operations_.find(&overlapped);
    if (known == operations_.end() || !known->second.done) {
        return ERROR_IO_INCOMPLETE;
    }
    transferred = known->second.transferred;
    return known->second.error;
}

DWORD FakeReaderCalls::ClearCommError(HANDLE, DWORD& lineErrors, DWORD& bytesQueued)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    ++counts_.calls;
    if (clearCommError_ != 0) {
        return clearCommError_;
    }
    lineErrors = std::exchange(lineErrors_, 0);
    bytesQueued = static_cast<DWORD>(queued_.size());
    return 0;
}

void FakeReaderCalls::CancelIo(HANDLE, OVERLAPPED& overlapped)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    ++counts_.calls;
    ++counts_.cancels;
    const auto known = operations_.find(&overlapped);
    if (known == operations_.end() || known->second.done) {
        return;
    }
    Operation& operation = known->second;
    if (operation.ending != Ending::kNeverEnds && operation.ending != Ending::kSignalledWithoutResult) {
        End(overlapped, operation, ERROR_OPERATION_ABORTED, 0, true);
    }
}

DWORD FakeReaderCalls::WaitForAny(const HANDLE* handles, DWORD count, DWORD milliseconds)
{
    DWORD failure = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++counts_.calls;
        failure = count == 2 ? operationWaitError_ : 0;
    }
    if (failure != 0) {
        SetLastError(failure);
        return WAIT_FAILED;
    }
    return WaitForMultipleObjects(count, handles, FALSE, milliseconds);
}

} // namespace tavex::test
