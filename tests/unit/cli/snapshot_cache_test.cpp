#include "cli/device/snapshot_cache.h"

#include "image/memory_byte_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavex {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Sessions running at once share one copy; once the last lets go, the next
// session reads the file again, as it may have changed in between.
TEST(SnapshotCache, SessionsRunningAtOnceShareOneCopyReadOnce)
{
    SnapshotCache cache;
    const std::vector<std::uint8_t> first = Bytes("S2 first");
    MemoryByteSource firstFile(first);
    const auto held = cache.Snapshot("img.s19", firstFile, first.size());
    ASSERT_EQ(held->bytes, first);
    EXPECT_FALSE(held->sha256.empty());

    const std::vector<std::uint8_t> other = Bytes("S2 other");
    MemoryByteSource untouched(other);
    EXPECT_EQ(cache.Snapshot("img.s19", untouched, other.size()), held);
    std::uint8_t byte = 0;
    EXPECT_EQ(untouched.Read(&byte, 1), 1U) << "the second session's file was read";

    MemoryByteSource anotherImage(other);
    EXPECT_EQ(cache.Snapshot("other.s19", anotherImage, other.size())->bytes, other);

    const std::vector<std::uint8_t> longer = Bytes("S2 first, longer");
    MemoryByteSource grown(longer);
    EXPECT_EQ(cache.Snapshot("img.s19", grown, longer.size())->bytes, longer) << "a file of another length";
}

TEST(SnapshotCache, AFileIsReadAgainOnceNoSessionHoldsItsCopy)
{
    SnapshotCache cache;
    const std::vector<std::uint8_t> before = Bytes("S2 before");
    MemoryByteSource beforeFile(before);
    cache.Snapshot("img.s19", beforeFile, before.size()).reset();
    const std::vector<std::uint8_t> after = Bytes("S2 after!");
    MemoryByteSource afterFile(after);
    EXPECT_EQ(cache.Snapshot("img.s19", afterFile, after.size())->bytes, after);
}

} // namespace
} // namespace tavex
