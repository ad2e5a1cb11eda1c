#pragma once

#include "image/byte_source.h"
#include "session/image_file_checks.h"

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
    OpenedFile Open(const std::string& path) override;
};

} // namespace tavex
