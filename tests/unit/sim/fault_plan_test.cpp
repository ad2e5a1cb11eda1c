#include "sim/fault_plan.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

struct WrittenFault {
    const char* name;
    const char* text;
    std::optional<std::uint32_t> commandIndex;
    std::optional<CommandKind> kind;
    std::optional<std::uint32_t> nthOfKind;
    FaultAction action;
    std::vector<std::uint8_t> bytes;
    std::uint32_t lateMs;
};

void PrintTo(const WrittenFault& c, std::ostream* out) { *out << c.name; }

class FaultText : public testing::TestWithParam<WrittenFault> {};

TEST_P(FaultText, ReadsWhereAndWhat)
{
    const WrittenFault& written = GetParam();
    const ParsedFault parsed = ParseFault(written.text);
    ASSERT_TRUE(parsed.fault.has_value()) << parsed.error;
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.fault->commandIndex, written.commandIndex);
    EXPECT_EQ(parsed.fault->kind, written.kind);
    EXPECT_EQ(parsed.fault->nthOfKind, written.nthOfKind);
    EXPECT_EQ(parsed.fault->action, written.action);
    EXPECT_EQ(parsed.fault->bytes, written.bytes);
    EXPECT_EQ(parsed.fault->lateMs, written.lateMs);
}

constexpr auto kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Written, FaultText,
    testing::Values(
        WrittenFault{"KindCe", "S2:ce", kNone, CommandKind::WriteBlock, kNone, FaultAction::CommunicationError, {}, 0},
        WrittenFault{"KindFe", "S8:fe", kNone, CommandKind::EndOfTable, kNone, FaultAction::CommandError, {}, 0},
        WrittenFault{"IndexSilent", "3:silent", 3U, kNone, kNone, FaultAction::Silent, {}, 0},
        WrittenFault{"NthOfKindLate", "S2#2:late=7000", kNone, CommandKind::WriteBlock, 2U, FaultAction::Late, {}, 7000},
        WrittenFault{"Bytes", "C1:bytes=4F4b4F4B", kNone, CommandKind::FlashSector, kNone, FaultAction::ReplyBytes,
                 {0x4F, 0x4B, 0x4F, 0x4B}, 0},
        WrittenFault{"Vanish", "T7:vanish", kNone, CommandKind::ReadId, kNone, FaultAction::Vanish, {}, 0},
        WrittenFault{"LateZero", "1:late=0", 1U, kNone, kNone, FaultAction::Late, {}, 0}),
    [](const testing::TestParamInfo<WrittenFault>& info) { return info.param.name; });

TEST(FaultText, RefusesTextThatIsNotAFault)
{
    for (const char* text : {"", "S2", "S2:", ":ce", "0:ce", "-1:ce", "S3:ce", "s2:ce", "S2#:ce", "S2#0:ce", "S2#x:ce",
                             "#2:ce", "S2:CE", "S2:later", "S2:late", "S2:late=", "S2:late=x", "S2:late=-5",
                             "S2:ce=1", "S2:silent=", "C1:bytes", "C1:bytes=", "C1:bytes=4F4", "C1:bytes=4G",
                             "C1:bytes=+F", "3x:ce", "99999999999:ce"}) {
        const ParsedFault parsed = ParseFault(text);
        EXPECT_FALSE(parsed.fault.has_value()) << '"' << text << '"';
        EXPECT_NE(parsed.error, "") << '"' << text << '"';
    }
}

Fault Parsed(const char* text) { return *ParseFault(text).fault; }

TEST(FaultPlan, MatchesByFrameNumberByKindAndByNumberWithinAKind)
{
    FaultPlan plan;
    plan.Add(Parsed("4:silent"));
    plan.Add(Parsed("S2#2:ce"));
    plan.Add(Parsed("C1:fe"));
    plan.Add(Parsed("S2:late=5"));

    struct Case {
        std::uint32_t frame;
        CommandKind kind;
        std::uint32_t ofKind;
        std::optional<FaultAction> expected;
    };
    for (const Case c : {Case{1, CommandKind::Ping, 1, std::nullopt},
                         Case{4, CommandKind::Ping, 2, FaultAction::Silent},
                         Case{4, CommandKind::WriteBlock, 2, FaultAction::Silent},  // the first that matches wins
                         Case{5, CommandKind::WriteBlock, 2, FaultAction::CommunicationError},
                         Case{6, CommandKind::WriteBlock, 3, FaultAction::Late},
                         Case{2, CommandKind::FlashSector, 7, FaultAction::CommandError},
                         Case{9, CommandKind::Unknown, 2, std::nullopt}}) {
        const Fault* fault = plan.Match(c.frame, c.kind, c.ofKind);
        const std::optional<FaultAction> action = fault ? std::optional(fault->action) : std::nullopt;
        EXPECT_EQ(action, c.expected) << "frame " << c.frame << ", " << CommandName(c.kind) << " #" << c.ofKind;
    }
}

TEST(FaultPlan, LetsOnlyTheFaultsThatAnswerAsIfTakenActOnTheFlash)
{
    struct Case {
        const char* text;
        bool acts;
    };
    for (const Case c : {Case{"1:ce", false}, Case{"1:fe", false}, Case{"1:silent", false}, Case{"1:bytes=00", true},
                         Case{"1:late=1", true}, Case{"1:vanish", true}}) {
        EXPECT_EQ(Parsed(c.text).LetsCommandAct(), c.acts) << c.text;
    }
}

} // namespace
} // namespace tavex
