#pragma once

#include <cstddef>
#include <cstdint>

namespace tavex {

// The image file as the reader sees it: a forward-only stream of bytes.
class IByteSource {
public:
    virtual ~IByteSource() = default;

    // Copies up to `count` bytes into `into` and answers how many it copied.
    // Fewer than `count` means the end of the file or a failed read.
    virtual std::size_t Read(std::uint8_t* into, std::size_t count) = 0;

    // True once a read has failed for a reason other than the end of the file.
    virtual bool ReadFailed() const = 0;
};

} // namespace tavex
