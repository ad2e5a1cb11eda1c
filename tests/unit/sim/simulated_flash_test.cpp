#include "flash/simulated_flash.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tavex {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Listing(const SimulatedFlash& flash)
{
    std::ostringstream text;
    flash.WriteListing(text);
    return text.str();
}

TEST(SimulatedFlash, KeepsTheLastByteWrittenAtEachAddressAndWrapsPastTheTop)
{
    SimulatedFlash flash;
    flash.WriteBlock(0x012345, Bytes{0xAA, 0xBB});
    flash.WriteBlock(0x012346, Bytes{0xCC});
    flash.WriteBlock(0xFFFFFF, Bytes{0x01, 0x02});
    const std::map<std::uint32_t, std::uint8_t> expected = {
        {0x000000, 0x02}, {0x012345, 0xAA}, {0x012346, 0xCC}, {0xFFFFFF, 0x01}};
    EXPECT_EQ(flash.Bytes(), expected);
    EXPECT_EQ(flash.BlocksWritten(), 3U);
}

TEST(SimulatedFlash, CountsEveryEraseButListsEachSectorOnce)
{
    SimulatedFlash flash;
    for (std::uint8_t sector : std::initializer_list<std::uint8_t>{3, 0, 3}) {
        flash.EraseSector(sector);
    }
    EXPECT_EQ(flash.SectorErases(), 3U);
    EXPECT_EQ(flash.ErasedSectors(), (std::set<std::uint8_t>{0, 3}));
}

TEST(SimulatedFlash, DigestsTheContentsNotTheOrderTheyWereWrittenIn)
{
    SimulatedFlash forward;
    forward.EraseSector(1);
    forward.WriteBlock(0x100, Bytes{1, 2});
    forward.WriteBlock(0x200, Bytes{3});
    forward.EndTable();
    SimulatedFlash backward;
    backward.EndTable();
    backward.WriteBlock(0x200, Bytes{3});
    backward.WriteBlock(0x100, Bytes{1, 2});
    backward.EraseSector(1);
    EXPECT_EQ(forward.Digest(), backward.Digest());
}

TEST(SimulatedFlash, DigestChangesWithEveryPartOfTheContents)
{
    const auto build = [](auto change) {
        SimulatedFlash flash;
        flash.EraseSector(1);
        flash.WriteBlock(0x100, Bytes{1, 2});
        flash.EndTable();
        change(flash);
        return flash.Digest();
    };
    const std::uint64_t base = build([](SimulatedFlash&) {});
    EXPECT_NE(build([](SimulatedFlash& f) { f.WriteBlock(0x101, Bytes{3}); }), base) << "a byte changed";
    EXPECT_NE(build([](SimulatedFlash& f) { f.WriteBlock(0x102, Bytes{0}); }), base) << "a byte added";
    EXPECT_NE(build([](SimulatedFlash& f) { f.EraseSector(2); }), base) << "a sector erased";
    EXPECT_NE(build([](SimulatedFlash& f) { f.EndTable(); }), base) << "a table ended";
    EXPECT_EQ(build([](SimulatedFlash& f) { f.EraseSector(1); }), base) << "the same sector again";
    EXPECT_NE(SimulatedFlash().Digest(), base);
}

TEST(SimulatedFlash, ListsTheRowsThatHoldWrittenBytes)
{
    SimulatedFlash flash;
    flash.EraseSector(3);
    flash.EraseSector(1);
    flash.WriteBlock(0x01234E, Bytes{0xAA, 0xBB, 0xCC});
    flash.EndTable();
    const std::string listing = Listing(flash);
    char digest[32];
    std::snprintf(digest, sizeof digest, "digest %016llX\n", static_cast<unsigned long long>(flash.Digest()));
    EXPECT_EQ(listing, std::string(digest) +
                           "erased sectors: 1 3\n"
                           "tables ended: 1\n"
                           "written bytes: 3\n"
                           "address  +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\n"
                           "012340  -- -- -- -- -- -- -- -- -- -- -- -- -- -- AA BB\n"
                           "012350  CC -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n");
}

} // namespace
} // namespace tavex
