// An image file. The handle is opened with no sharing, or shared with
// readers only: while it is open no other program can write the file, and
// one that holds it keeps us out.

#include "image/buffered_file_source.h"
#include "platform/system_image_files.h"
#include "platform/win32/windows_api.h"

namespace tavex {

namespace {

class Win32ImageFile final : public BufferedFileSource {
public:
    explicit Win32ImageFile(HANDLE handle) : handle_(handle) {}
    ~Win32ImageFile() override;
    Win32ImageFile(const Win32ImageFile&) = delete;
    Win32ImageFile& operator=(const Win32ImageFile&) = delete;

private:
    std::optional<std::size_t> ReadFromFile(std::uint8_t* into, std::size_t count) override;

    HANDLE handle_;
};

Win32ImageFile::~Win32ImageFile() { CloseHandle(handle_); }

std::optional<std::size_t> Win32ImageFile::ReadFromFile(std::uint8_t* into, std::size_t count)
{
    DWORD got = 0;
    if (!ReadFile(handle_, into, static_cast<DWORD>(count), &got, nullptr)) {
        return std::nullopt;
    }
    return got;
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

} // namespace

OpenedFile SystemImageFiles::Open(const std::string& path)
{
    const std::wstring widePath = WideFromUtf8(path);
    const DWORD share = sharing_ == Sharing::Exclusive ? 0 : FILE_SHARE_READ;
    HANDLE handle = CreateFileW(widePath.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (IsMissing(error)) {
            return OpenedFile::Refused(OpenedFile::Status::NotFound, SystemErrorText(error), ErrorCategory::kNotFound);
        }
        if (error == ERROR_SHARING_VIOLATION) {
            return OpenedFile::Refused(OpenedFile::Status::CannotOpen, "in use by another program", ErrorCategory::kInUse);
        }
        return OpenedFile::Refused(OpenedFile::Status::CannotOpen, SystemErrorText(error), SystemErrorCategory(error));
    }
    // A directory opens only with backup semantics, but a device or a pipe
    // would: only files on disk are images.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return OpenedFile::Refused(OpenedFile::Status::CannotOpen, "not a regular file", ErrorCategory::kUnsupported);
    }
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(handle, &length)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        return OpenedFile::Refused(OpenedFile::Status::LengthUnknown, SystemErrorText(error), SystemErrorCategory(error));
    }
    OpenedFile opened;
    opened.status = OpenedFile::Status::Opened;
    opened.length = static_cast<std::uint64_t>(length.QuadPart);
    opened.file = std::make_unique<Win32ImageFile>(handle);
    return opened;
}

} // namespace tavex
