#pragma once

// Names (files, devices) are text the operator chose or a program made up;
// printed raw, their control characters would be commands to the terminal:
// recolour, clear the screen, retitle the window, move the cursor.

#include <string>
#include <string_view>

namespace tavex {

// `text` with every control character shown as \xNN, one a byte: the C0
// controls but line feed and tab, DEL, and the C1 controls in UTF-8 (C2 80
// to C2 9F). Everything else, other UTF-8 included, stays as it is. Escape
// sequences of our own are added after, to the escaped text.
std::string TerminalSafe(std::string_view text);

} // namespace tavex
