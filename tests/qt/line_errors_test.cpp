#include "serial/posix/line_errors.h"

#include "serial/comm_control.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

struct Growth {
    const char* name;
    LineErrorCounts now;
    std::vector<std::int16_t> events;
};

TEST(NewLineErrors, RaisesTheEventOfEachCountThatGrew)
{
    const LineErrorCounts before{10, 20, 30, 40, 50};
    const Growth cases[] = {
        {"nothing new", {10, 20, 30, 40, 50}, {}},
        {"framing", {11, 20, 30, 40, 50}, {comm_event::kFrame}},
        {"overrun", {10, 25, 30, 40, 50}, {comm_event::kOverrun}},
        {"parity", {10, 20, 31, 40, 50}, {comm_event::kRxParity}},
        {"break", {10, 20, 30, 41, 50}, {comm_event::kBreak}},
        {"buffer overrun", {10, 20, 30, 40, 51}, {comm_event::kRxOver}},
        {"all at once, in a fixed order",
         {11, 21, 31, 41, 51},
         {comm_event::kBreak, comm_event::kFrame, comm_event::kOverrun, comm_event::kRxOver, comm_event::kRxParity}},
        {"counts reset by the driver", {0, 0, 0, 0, 0}, {}},
    };
    for (const Growth& growth : cases) {
        SCOPED_TRACE(growth.name);
        EXPECT_EQ(NewLineErrors(before, growth.now), growth.events);
    }
}

} // namespace
} // namespace tavex
