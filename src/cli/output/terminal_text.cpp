#include "cli/output/terminal_text.h"

#include "text/string_table.h"

#include <cctype>
#include <cstdio>

namespace tavex {

namespace {

bool IsC0OrDelete(unsigned char byte) { return (byte < 0x20 && byte != '\t') || byte == 0x7F; }

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

std::string Escaped(std::string_view text, bool keepLineFeeds)
{
    std::string safe;
    safe.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (StartsC1(text, at)) {
            AppendEscaped(safe, text[at]);
            AppendEscaped(safe, text[++at]);
        } else if (IsC0OrDelete(static_cast<unsigned char>(text[at])) && !(keepLineFeeds && text[at] == '\n')) {
            AppendEscaped(safe, text[at]);
        } else {
            safe += text[at];
        }
    }
    return safe;
}

// `text` against a message's closing paragraph as the string table has it:
// %d is a number, %s a run of anything but a line feed or a quote (the
// hardware versions a file lists), everything else itself.
bool MatchesPattern(std::string_view pattern, std::string_view text)
{
    if (pattern.empty()) {
        return text.empty();
    }
    if (pattern.starts_with("%d")) {
        std::size_t digits = !text.empty() && text.front() == '-' ? 1 : 0;
        const std::size_t first = digits;
        while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])) != 0) {
            ++digits;
        }
        return digits > first && MatchesPattern(pattern.substr(2), text.substr(digits));
    }
    if (pattern.starts_with("%s")) {
        for (std::size_t length = 0;; ++length) {
            if (MatchesPattern(pattern.substr(2), text.substr(length))) {
                return true;
            }
            if (length == text.size() || text[length] == '\n' || text[length] == '"') {
                return false;
            }
        }
    }
    return !text.empty() && pattern.front() == text.front() && MatchesPattern(pattern.substr(1), text.substr(1));
}

// Where the message's own closing paragraph begins: the last blank line,
// when what follows it is the closing paragraph of a message in the string
// table. Names come before it in every such message.
std::size_t OwnParagraphStart(std::string_view text)
{
    const std::size_t blankLine = text.rfind("\n\n");
    if (blankLine == std::string_view::npos) {
        return text.size();
    }
    for (const NumberedString& entry : kStringTable) {
        const std::size_t ownBlankLine = entry.text.find("\n\n");
        if (ownBlankLine != std::string_view::npos &&
            MatchesPattern(entry.text.substr(ownBlankLine), text.substr(blankLine))) {
            return blankLine;
        }
    }
    return text.size();
}

} // namespace

std::string TerminalSafe(std::string_view text) { return Escaped(text, false); }

std::string TerminalSafeMessage(std::string_view text, std::string_view detail)
{
    const std::size_t ownParagraph = OwnParagraphStart(text);
    std::string shown = Escaped(text.substr(0, ownParagraph), false) + Escaped(text.substr(ownParagraph), true);
    if (!detail.empty()) {
        shown += " (" + TerminalSafe(detail) + ")";
    }
    return shown;
}

} // namespace tavex
