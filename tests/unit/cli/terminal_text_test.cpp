#include "cli/output/terminal_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tavex {
namespace {

struct EscapeCase {
    const char* name;
    std::string text;
    std::string shown;
};

void PrintTo(const EscapeCase& c, std::ostream* out) { *out << c.name; }

class TerminalSafeText : public testing::TestWithParam<EscapeCase> {};

TEST_P(TerminalSafeText, EscapesControlsAndNothingElse)
{
    EXPECT_EQ(TerminalSafe(GetParam().text), GetParam().shown);
}

// Adjacent literals keep a hex escape from taking the next character.
INSTANTIATE_TEST_SUITE_P(
    Texts, TerminalSafeText,
    testing::Values(
        EscapeCase{"Plain", "/dev/ttyUSB0 img.s19", "/dev/ttyUSB0 img.s19"},
        EscapeCase{"Empty", "", ""},
        EscapeCase{"TabStaysLineFeedDoesNot", "one\ntwo\tthree", "one\\x0atwo\tthree"},
        EscapeCase{"Escape", "img\x1b[31m.s19", "img\\x1b[31m.s19"},
        EscapeCase{"CarriageReturnAndBackspace", "a\rb\bc", "a\\x0db\\x08c"},
        EscapeCase{"Bell", "\x07", "\\x07"},
        EscapeCase{"Nul", std::string("a\0b", 3), "a\\x00b"},
        EscapeCase{"UnitSeparator", "\x1f", "\\x1f"},
        EscapeCase{"Delete", "a\x7f"
                             "b",
                   "a\\x7fb"},
        EscapeCase{"FirstC1", "\xc2\x80", "\\xc2\\x80"},
        EscapeCase{"C1ControlSequenceIntroducer", "img\xc2\x9b"
                                                  "2J",
                   "img\\xc2\\x9b2J"},
        EscapeCase{"LastC1", "\xc2\x9f", "\\xc2\\x9f"},
        EscapeCase{"NoBreakSpaceJustAfterC1Stays", "\xc2\xa0", "\xc2\xa0"},
        EscapeCase{"OtherUtf8Stays", "Tastatur-\xc3\xbc-\xe2\x82\xac.s19", "Tastatur-\xc3\xbc-\xe2\x82\xac.s19"},
        EscapeCase{"LeadByteAtTheEndStays", "a\xc2", "a\xc2"},
        EscapeCase{"LeadByteBeforeAnEscape", "\xc2\x1b", "\xc2\\x1b"},
        EscapeCase{"BackslashStays", "C:\\x1b", "C:\\x1b"}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return info.param.name; });

struct MessageCase {
    const char* name;
    std::string text;
    std::string detail;
    std::string shown;
};

void PrintTo(const MessageCase& c, std::ostream* out) { *out << c.name; }

class TerminalSafeMessageText : public testing::TestWithParam<MessageCase> {};

TEST_P(TerminalSafeMessageText, KeepsOnlyTheMessagesOwnLineBreaks)
{
    EXPECT_EQ(TerminalSafeMessage(GetParam().text, GetParam().detail), GetParam().shown);
}

const std::string kMakeSure = "\n\nMake sure this file has not been opened by another application.";

INSTANTIATE_TEST_SUITE_P(
    Messages, TerminalSafeMessageText,
    testing::Values(
        MessageCase{"OneLine", "Error: The file \"a.s19\" could not be found.", "", "Error: The file \"a.s19\" could not be found."},
        MessageCase{"WithDetail", "Error: COM 1 could not be opened.", "kb\n: gone", "Error: COM 1 could not be opened. (kb\\x0a: gone)"},
        // A blank line's two bytes quoted as its command.
        MessageCase{"CommandOfABlankLine", "Error: Unrecognized command \"\r\n\" on line 3 of \"a.s19\".", "",
                    "Error: Unrecognized command \"\\x0d\\x0a\" on line 3 of \"a.s19\"."},
        MessageCase{"OwnParagraphKept", "An error occurred while trying to open \"a\nb.s19\"." + kMakeSure, "",
                    "An error occurred while trying to open \"a\\x0ab.s19\"." + kMakeSure},
        MessageCase{"OwnParagraphsWithNumbers",
                    "Error: The file \"a.s20\" does not support this version of the keyboard hardware.\n\nFile supports "
                    "hardware version(s):\t1, 2\nCurrent keyboard hardware version:\t3",
                    "",
                    "Error: The file \"a.s20\" does not support this version of the keyboard hardware.\n\nFile supports "
                    "hardware version(s):\t1, 2\nCurrent keyboard hardware version:\t3"},
        MessageCase{"LengthParagraph", "Error: S2 record length out of range on line 4 of \"x\ny.s19\".\n\n(len = 300)", "",
                    "Error: S2 record length out of range on line 4 of \"x\\x0ay.s19\".\n\n(len = 300)"},
        // A name that imitates a paragraph of the program's own is still a name.
        MessageCase{"ImitatedParagraphInAName", "Error: The file \"a" + kMakeSure + "\nWrote \" could not be found.", "",
                    "Error: The file \"a\\x0a\\x0aMake sure this file has not been opened by another application.\\x0aWrote "
                    "\" could not be found."}),
    [](const testing::TestParamInfo<MessageCase>& info) { return info.param.name; });

} // namespace
} // namespace tavex
