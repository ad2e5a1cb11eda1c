#pragma once

// A download reads its whole image into memory before the port opens, so a
// file replaced or rewritten during the transfer cannot mix two images in
// one keyboard: locks on the image file are only advisory on Linux.

#include "image/byte_source.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavex {

// The largest image a download holds in memory.
inline constexpr std::uint64_t kLargestSnapshot = 64ULL * 1024 * 1024;

struct ImageSnapshot {
    std::vector<std::uint8_t> bytes;  // at most `length` bytes from the start
    bool readFailed = false;          // the medium failed right after `bytes`
    std::string sha256;               // of `bytes`, in hex; empty when the read failed
};

// Reads up to `length` bytes of `file`, which must not exceed kLargestSnapshot.
// A file that ends early gives fewer bytes: the reader then reports the line
// that was cut short, as it would have reading the file itself.
ImageSnapshot TakeSnapshot(IByteSource& file, std::uint64_t length);

} // namespace tavex
