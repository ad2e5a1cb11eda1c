#pragma once

#include "image/buffered_file_source.h"
#include "image/image_files.h"

namespace tavex {

// An image file, held with a lock while open.
class PosixImageFile final : public BufferedFileSource {
public:
    explicit PosixImageFile(int descriptor) : descriptor_(descriptor) {}
    ~PosixImageFile() override;
    PosixImageFile(const PosixImageFile&) = delete;
    PosixImageFile& operator=(const PosixImageFile&) = delete;

private:
    std::optional<std::size_t> ReadFromFile(std::uint8_t* into, std::size_t count) override;

    int descriptor_;
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
