#pragma once

// Names (files, devices) are text the operator chose or a program made up;
// printed raw, their control characters would be commands to the terminal:
// recolour, clear the screen, retitle the window, move the cursor; and a
// line feed would start a line of their own making (a forged "Wrote ...").

#include <string>
#include <string_view>

namespace tavex {

// `text` with every control character shown as \xNN, one a byte: the C0
// controls but tab, DEL, and the C1 controls in UTF-8 (C2 80 to C2 9F).
// Everything else, other UTF-8 included, stays as it is. Escape sequences of
// our own are added after, to the escaped text.
std::string TerminalSafe(std::string_view text);

// A message of the program's own, with its reason when there is one
// ("message (detail)"), escaped as TerminalSafe does but for the message's
// own line breaks: those of a message whose text ends in a paragraph of its
// own ("...\n\nMake sure this file ..."). A line feed in a name or a command
// the message quotes is escaped.
std::string TerminalSafeMessage(std::string_view text, std::string_view detail = {});

} // namespace tavex
