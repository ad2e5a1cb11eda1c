#pragma once

// SHA-256, so that a station can prove which firmware went into which
// keyboard: the digest of the image's bytes as the keyboard was sent them.

#include "image/byte_source.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace tavex {

class Sha256 {
public:
    Sha256();
    void Add(std::span<const std::uint8_t> bytes);
    // The digest as 64 lower-case hexadecimal digits; ends the hash.
    std::string HexDigest();

private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingBytes_ = 0;
    std::uint64_t totalBytes_ = 0;
};

std::string Sha256Hex(std::span<const std::uint8_t> bytes);

// The digest of everything `source` holds, or "" when a read failed.
std::string Sha256HexOfSource(IByteSource& source);

} // namespace tavex
