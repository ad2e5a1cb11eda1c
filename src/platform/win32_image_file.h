#pragma once

#include "image/byte_source.h"
#include "image/image_files.h"
#include "platform/windows_api.h"

#include <array>

namespace tavex {

// An image file read through a buffer, as on POSIX. The handle is opened
// with no sharing, or shared with readers only: while it is open no other
// program can write the file, and one that holds it keeps us out.
class Win32ImageFile final : public IByteSource {
public:
    explicit Win32ImageFile(HANDLE handle) : handle_(handle) {}
    ~Win32ImageFile() override;
    Win32ImageFile(const Win32ImageFile&) = delete;
    Win32ImageFile& operator=(const Win32ImageFile&) = delete;

    std::size_t Read(std::uint8_t* into, std::size_t count) override;
    bool ReadFailed() const override { return readFailed_; }

private:
    bool Refill();

    HANDLE handle_;
    bool readFailed_ = false;
    bool atEnd_ = false;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::array<std::uint8_t, 64 * 1024> buffer_{};
};

class Win32ImageFiles final : public IImageFiles {
public:
    // Exclusive: no other handle on the file at all. Shared among readers:
    // other readers allowed (downloads of one image to several keyboards),
    // a writer not.
    enum class Sharing { Exclusive, SharedAmongReaders };

    explicit Win32ImageFiles(Sharing sharing = Sharing::Exclusive) : sharing_(sharing) {}
    OpenedFile Open(const std::string& path) override;

private:
    Sharing sharing_;
};

} // namespace tavex
