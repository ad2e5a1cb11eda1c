#pragma once

// A file read through a buffer: the reader's small reads cost a copy, not a
// system call. What reads the file itself is the platform's.

#include "image/byte_source.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tavex {

class BufferedFileSource : public IByteSource {
public:
    std::size_t Read(std::uint8_t* into, std::size_t count) final;
    bool ReadFailed() const final { return readFailed_; }

protected:
    // Reads up to `count` bytes from the file: how many, 0 at its end, none
    // when the read failed.
    virtual std::optional<std::size_t> ReadFromFile(std::uint8_t* into, std::size_t count) = 0;

private:
    bool Refill();

    bool readFailed_ = false;
    bool atEnd_ = false;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::array<std::uint8_t, 64 * 1024> buffer_{};
};

} // namespace tavex
