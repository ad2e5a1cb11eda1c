#pragma once

#include "image/buffered_file_source.h"
#include "image/image_files.h"
#include "platform/windows_api.h"

namespace tavex {

// An image file. The handle is opened
// with no sharing, or shared with readers only: while it is open no other
// program can write the file, and one that holds it keeps us out.
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
