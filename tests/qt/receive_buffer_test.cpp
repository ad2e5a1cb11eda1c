#include "serial/receive_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace tavex {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

struct Taking {
    const char* name;
    std::size_t limit;
    std::vector<Bytes> takes;  // until the buffer is empty
};

TEST(ReceiveBuffer, TakesEverythingOrAtMostTheLimitOldestFirst)
{
    const Taking cases[] = {
        {"no limit", 0, {BytesOf("abcde")}},
        {"limit 2", 2, {BytesOf("ab"), BytesOf("cd"), BytesOf("e")}},
        {"limit above the count", 9, {BytesOf("abcde")}},
    };
    for (const Taking& taking : cases) {
        SCOPED_TRACE(taking.name);
        ReceiveBuffer buffer;
        buffer.Append("abc", false);
        buffer.Append("de", false);
        for (const Bytes& expected : taking.takes) {
            EXPECT_EQ(buffer.Take(taking.limit), expected);
        }
        EXPECT_EQ(buffer.Size(), 0U);
    }
}

struct Arrival {
    const char* name;
    std::string bytes;
    bool discardNulls;
    Bytes kept;
    bool endOfFile;
};

TEST(ReceiveBuffer, KeepsBytesUnchangedUnlessNullsAreDiscarded)
{
    const Arrival cases[] = {
        {"every byte value kept", std::string("\x00\x0D\x0A\xFF\x80", 5), false, {0x00, 0x0D, 0x0A, 0xFF, 0x80}, false},
        {"nulls dropped", std::string("a\0b\0", 4), true, BytesOf("ab"), false},
        {"end of file seen", std::string("a\x1A" "b"), false, BytesOf("a\x1A" "b"), true},
        {"end of file with nulls dropped", std::string("\0\x1A", 2), true, {0x1A}, true},
    };
    for (const Arrival& arrival : cases) {
        SCOPED_TRACE(arrival.name);
        ReceiveBuffer buffer;
        EXPECT_EQ(buffer.Append(arrival.bytes, arrival.discardNulls), arrival.endOfFile);
        EXPECT_EQ(buffer.Take(0), arrival.kept);
    }
}

} // namespace
} // namespace tavex
