#pragma once

#include "image/byte_source.h"

#include <span>

namespace tavex {

// A byte source over bytes already in memory: a download's snapshot of its
// image, tests, the fuzzer, benchmarks. It does not own the bytes.
class MemoryByteSource final : public IByteSource {
public:
    // failsAtEnd: the bytes stop where reading the medium failed, so a read
    // past them is a failed read rather than the end of the file.
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes, bool failsAtEnd = false)
        : bytes_(bytes), failsAtEnd_(failsAtEnd)
    {
    }

    std::size_t Read(std::uint8_t* into, std::size_t count) override;
    bool ReadFailed() const override { return readFailed_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool failsAtEnd_;
    bool readFailed_ = false;
};

} // namespace tavex
