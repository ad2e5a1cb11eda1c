#pragma once

// Whether a file can be written, asked before the work whose result it is to
// hold, so that a bad path fails at once and not after a whole session.

#include <string>

namespace tavex {

// Why `path` cannot be opened for writing, as the system puts it; empty when
// it can. Nothing is written, truncated or made.
std::string WhyNotWritable(const std::string& path);

} // namespace tavex
