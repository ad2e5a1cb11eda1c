#include "cli/output/terminal_text.h"

#include <cstdio>

namespace tavex {

namespace {

bool IsC0OrDelete(unsigned char byte) { return (byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F; }

// A C1 control, U+0080 to U+009F, is C2 80 to C2 9F in UTF-8.
bool StartsC1(std::string_view text, std::size_t at)
{
    return static_cast<unsigned char>(text[at]) == 0xC2 && at + 1 < text.size() &&
           static_cast<unsigned char>(text[at + 1]) >= 0x80 && static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

void AppendEscaped(std::string& safe, char byte)
{
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(byte));
    safe += escaped;
}

} // namespace

std::string TerminalSafe(std::string_view text)
{
    std::string safe;
    safe.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (StartsC1(text, at)) {
            AppendEscaped(safe, text[at]);
            AppendEscaped(safe, text[++at]);
        } else if (IsC0OrDelete(static_cast<unsigned char>(text[at]))) {
            AppendEscaped(safe, text[at]);
        } else {
            safe += text[at];
        }
    }
    return safe;
}

} // namespace tavex
