#pragma once

#include <cstdint>

namespace tavex {

// The two kinds of image, known by the file's extension; each has its own
// transfer machine. None before the first download has chosen one.
enum class FileKind : std::int32_t { None = -1, S19 = 0, S20 = 1 };

} // namespace tavex
