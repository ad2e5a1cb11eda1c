#include "platform/win32_image_file.h"

#include <algorithm>
#include <cstring>

namespace tavex {

Win32ImageFile::~Win32ImageFile() { CloseHandle(handle_); }

bool Win32ImageFile::Refill()
{
    DWORD got = 0;
    if (!ReadFile(handle_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &got, nullptr)) {
        readFailed_ = true;
        return false;
    }
    if (got == 0) {
        atEnd_ = true;
        return false;
    }
    begin_ = 0;
    end_ = got;
    return true;
}

std::size_t Win32ImageFile::Read(std::uint8_t* into, std::size_t count)
{
    std::size_t copied = 0;
    while (copied < count) {
        if (begin_ == end_ && (atEnd_ || readFailed_ || !Refill())) {
            break;
        }
        const std::size_t piece = std::min(count - copied, end_ - begin_);
        std::memcpy(into + copied, buffer_.data() + begin_, piece);
        begin_ += piece;
        copied += piece;
    }
    return copied;
}

namespace {

OpenedFile Refused(OpenedFile::Status status, std::string reason)
{
    OpenedFile refused;
    refused.status = status;
    refused.reason = std::move(reason);
    return refused;
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

} // namespace

OpenedFile Win32ImageFiles::Open(const std::string& path)
{
    const std::wstring widePath = WideFromUtf8(path);
    const DWORD share = sharing_ == Sharing::Exclusive ? 0 : FILE_SHARE_READ;
    HANDLE handle = CreateFileW(widePath.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (IsMissing(error)) {
            return Refused(OpenedFile::Status::NotFound, SystemErrorText(error));
        }
        if (error == ERROR_SHARING_VIOLATION) {
            return Refused(OpenedFile::Status::CannotOpen, "in use by another program");
        }
        return Refused(OpenedFile::Status::CannotOpen, SystemErrorText(error));
    }
    // A directory opens only with backup semantics, but a device or a pipe
    // would: only files on disk are images.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return Refused(OpenedFile::Status::CannotOpen, "not a regular file");
    }
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(handle, &length)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        return Refused(OpenedFile::Status::LengthUnknown, SystemErrorText(error));
    }
    OpenedFile opened;
    opened.status = OpenedFile::Status::Opened;
    opened.length = static_cast<std::uint64_t>(length.QuadPart);
    opened.file = std::make_unique<Win32ImageFile>(handle);
    return opened;
}

} // namespace tavex
