#include "cli/host/standard_descriptors.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tavex {
namespace {

// A console that refused terminal sequences gets plain lines, as a pipe does.
TEST(ConsoleMode, OnlyAConsoleWithTerminalSequencesTakesTheLiveTable)
{
    struct Case {
        std::optional<unsigned long> mode;
        bool liveTable;
    };
    for (const Case& c : {
             Case{std::nullopt, false},  // a pipe or a file
             Case{ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT, false},
             Case{ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING, true},
         }) {
        EXPECT_EQ(ConsoleTakesLiveTable(c.mode), c.liveTable) << (c.mode ? *c.mode : 0);
    }
}

} // namespace
} // namespace tavex
