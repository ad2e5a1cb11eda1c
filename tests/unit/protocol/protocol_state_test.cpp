#include "session/internal_error_code.h"
#include "support/state_names.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::StateName;

TEST(ProtocolState, NamesEveryValueAndNothingOutsideTheRange)
{
    struct Case {
        ProtocolState state;
        std::string_view name;
    };
    for (const Case c : {Case{bpStateNONE, "bpStateNONE"}, Case{5, "bpStateREADYNEXTRECORD"},
                         Case{bpStateSENT_T7, "bpStateSENT_T7"}, Case{32, "StateEX_USERDEF"},
                         Case{34, "bpStateER_INTERNAL"}, Case{35, ""}, Case{-1, ""}}) {
        EXPECT_EQ(StateName(c.state), c.name) << c.state;
    }
    EXPECT_EQ(bpStateRECEIVE_UK, 28);
    EXPECT_EQ(bpStateEX_SEND, 30);
}

TEST(ProtocolState, FormatsTheInternalErrorCodesOfBothMachines)
{
    EXPECT_EQ(InternalErrorCode(FileKind::S19, bpStateNONE), "FSM_s19-0");
    EXPECT_EQ(InternalErrorCode(FileKind::S20, 22), "FSM_s20-22");
    EXPECT_EQ(InternalErrorCode(FileKind::S19, bpStateEX_OTHER, 9), "FSM_s19-31-9");
    EXPECT_EQ(InternalErrorCode(FileKind::S20, 40, 18), "FSM_s20-40-18");
}

} // namespace
} // namespace tavex
