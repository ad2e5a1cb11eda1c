#pragma once

#include "image/byte_source.h"
#include "image/image_files.h"

#include <array>

namespace tavex {

// An image file read through a buffer: the reader's small reads cost a copy,
// not a system call. The file is held with an exclusive lock while open.
class PosixImageFile final : public IByteSource {
public:
    explicit PosixImageFile(int descriptor) : descriptor_(descriptor) {}
    ~PosixImageFile() override;
    PosixImageFile(const PosixImageFile&) = delete;
    PosixImageFile& operator=(const PosixImageFile&) = delete;

    std::size_t Read(std::uint8_t* into, std::size_t count) override;
    bool ReadFailed() const override { return readFailed_; }

private:
    bool Refill();

    int descriptor_;
    bool readFailed_ = false;
    bool atEnd_ = false;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::array<std::uint8_t, 64 * 1024> buffer_{};
};

class PosixImageFiles final : public IImageFiles {
public:
    // Exclusive: no other holder of a lock on the file at all. Shared among
    // readers: other shared holders allowed (downloads of one image to several
    // keyboards), an exclusive holder not.
    enum class Sharing { Exclusive, SharedAmongReaders };

    explicit PosixImageFiles(Sharing sharing = Sharing::Exclusive) : sharing_(sharing) {}
    OpenedFile Open(const std::string& path) override;

private:
    Sharing sharing_;
};

} // namespace tavex
