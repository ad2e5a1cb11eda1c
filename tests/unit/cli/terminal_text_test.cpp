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
        EscapeCase{"LineFeedAndTabStay", "one\ntwo\tthree", "one\ntwo\tthree"},
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

} // namespace
} // namespace tavex
