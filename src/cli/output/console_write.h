#pragma once

// One write of the command line's output, as it waits for the console.

#include <cstddef>
#include <optional>
#include <string>

namespace tavex {

enum class ConsoleStream { Out, Err };

struct ConsoleWrite {
    ConsoleStream stream = ConsoleStream::Out;
    std::string text;
    // Set for a redraw: what it redraws (the updating line, the live table,
    // one device's progress). A later redraw of the same makes it obsolete.
    std::optional<std::size_t> redraws;
};

} // namespace tavex
