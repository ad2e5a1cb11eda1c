#pragma once

#include "image/byte_source.h"
#include "image/image_cursor.h"
#include "image/memory_byte_source.h"
#include "support/image_text.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tavex::test {

// Serves `bytes`, then fails as a broken medium would.
class FailingByteSource final : public IByteSource {
public:
    explicit FailingByteSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t Read(std::uint8_t* into, std::size_t count) override
    {
        const std::size_t served = std::min(count, bytes_.size() - position_);
        std::memcpy(into, bytes_.data() + position_, served);
        position_ += served;
        failed_ = served < count;
        return served;
    }
    bool ReadFailed() const override { return failed_; }

private:
    std::string bytes_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

// An image in memory with a cursor over it, as a download would hold it.
struct MemoryImage {
    explicit MemoryImage(const std::string& text, std::string name = "image.s19")
        : bytes(Bytes(text)), source(bytes)
    {
        cursor.imageFile = &source;
        cursor.fileLength = bytes.size();
        cursor.fileName = std::move(name);
    }
    MemoryImage(const MemoryImage&) = delete;
    MemoryImage& operator=(const MemoryImage&) = delete;

    std::vector<std::uint8_t> bytes;
    MemoryByteSource source;
    ImageCursor cursor;
};

} // namespace tavex::test
