#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavex::bench {

// Writes an .s19 image of at most `textBytes` bytes (write-block lines, then
// the end line) piece by piece, so that the writer stays small however large
// the file. Answers the file's length, or nothing when it could not be written.
std::optional<std::uint64_t> WriteS19Image(const std::string& path, std::uint64_t textBytes);

} // namespace tavex::bench
