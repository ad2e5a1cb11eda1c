#include "serial/win32/reader_calls.h"

namespace tavex {

namespace {

DWORD ErrorOf(BOOL succeeded) { return succeeded ? 0 : GetLastError(); }

class SystemCalls : public ReaderCalls {
public:
    DWORD WaitCommEvent(HANDLE port, DWORD& mask, OVERLAPPED& overlapped) override
    {
        return ErrorOf(::WaitCommEvent(port, &mask, &overlapped));
    }

    DWORD ReadFile(HANDLE port, std::uint8_t* into, DWORD size, OVERLAPPED& overlapped) override
    {
        return ErrorOf(::ReadFile(port, into, size, nullptr, &overlapped));
    }

    DWORD GetOverlappedResult(HANDLE port, OVERLAPPED& overlapped, DWORD& transferred) override
    {
        return ErrorOf(::GetOverlappedResult(port, &overlapped, &transferred, FALSE));
    }

    DWORD ClearCommError(HANDLE port, DWORD& lineErrors, DWORD& bytesQueued) override
    {
        COMSTAT status{};
        const DWORD error = ErrorOf(::ClearCommError(port, &lineErrors, &status));
        bytesQueued = status.cbInQue;
        return error;
    }

    void CancelIo(HANDLE port, OVERLAPPED& overlapped) override { ::CancelIoEx(port, &overlapped); }

    DWORD WaitForAny(const HANDLE* handles, DWORD count, DWORD milliseconds) override
    {
        return ::WaitForMultipleObjects(count, handles, FALSE, milliseconds);
    }
};

} // namespace

ReaderCalls& SystemReaderCalls()
{
    static SystemCalls calls;
    return calls;
}

} // namespace tavex
