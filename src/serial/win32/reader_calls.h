#pragma once

// The system calls under a port's reader, behind one narrow interface so
// that a test can play the orders in which a driver completes them. Each
// call answers 0 or the system's error code; ERROR_IO_PENDING says an
// operation is under way.

#include "platform/win32/windows_api.h"

#include <cstdint>

namespace tavex {

class ReaderCalls {
public:
    virtual ~ReaderCalls() = default;

    virtual DWORD WaitCommEvent(HANDLE port, DWORD& mask, OVERLAPPED& overlapped) = 0;
    virtual DWORD ReadFile(HANDLE port, std::uint8_t* into, DWORD size, OVERLAPPED& overlapped) = 0;
    // Never waits: ERROR_IO_INCOMPLETE while the result is not in overlapped.
    virtual DWORD GetOverlappedResult(HANDLE port, OVERLAPPED& overlapped, DWORD& transferred) = 0;
    virtual DWORD ClearCommError(HANDLE port, DWORD& lineErrors, DWORD& bytesQueued) = 0;
    virtual void CancelIo(HANDLE port, OVERLAPPED& overlapped) = 0;
    // WaitForMultipleObjects for any one of them: WAIT_OBJECT_0 + its index,
    // WAIT_TIMEOUT or WAIT_FAILED.
    virtual DWORD WaitForAny(const HANDLE* handles, DWORD count, DWORD milliseconds) = 0;
};

// The calls as the system makes them.
ReaderCalls& SystemReaderCalls();

} // namespace tavex
