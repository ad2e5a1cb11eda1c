#pragma once

#include "image/byte_source.h"

#include <span>

namespace tavex {

// A byte source over bytes already in memory (tests, the fuzzer, benchmarks).
// It does not own the bytes.
class MemoryByteSource final : public IByteSource {
public:
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Read(std::uint8_t* into, std::size_t count) override;
    bool ReadFailed() const override { return false; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

} // namespace tavex
