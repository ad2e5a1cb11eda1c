#include "image/image_check.h"

#include "image/memory_byte_source.h"
#include "support/image_text.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::Lines;

const std::string kBlock = test::WriteBlockLine(0x020010, {9, 8, 7});
const std::string kLowBlock = test::WriteBlockLine(0x000100, {1, 2, 3, 4, 5});

// An image in memory that every pass reads afresh.
struct CheckedImage {
    CheckedImage(const std::string& text, FileKind fileKind) : bytes(test::Bytes(text))
    {
        image = {fileKind, fileKind == FileKind::S19 ? "a.s19" : "a.s20", bytes.size(),
                 [this](std::string&) -> std::unique_ptr<IByteSource> {
                     ++passes;
                     return std::make_unique<MemoryByteSource>(bytes);
                 }};
    }
    std::vector<std::uint8_t> bytes;
    ImageToCheck image;
    int passes = 0;
};

TEST(ImageCheck, ChecksEveryDeclaredVersionOfAnS20Image)
{
    CheckedImage checked(Lines({"#schema 1", "#hardware 3, 1, 3", test::FlashSectorLine(2), kBlock, "#if-hardware 3",
                                kLowBlock, "#endif", test::EndOfTableLine()}),
                         FileKind::S20);
    const ImageCheckReport report = CheckImage(checked.image, std::nullopt);
    EXPECT_TRUE(report.valid) << report.message;
    ASSERT_EQ(report.verdicts.size(), 2U);
    EXPECT_EQ(report.verdicts[0].version, 1);
    EXPECT_EQ(report.verdicts[0].sent, 3U);
    EXPECT_EQ(report.verdicts[0].dropped, 1U);
    EXPECT_EQ(report.verdicts[1].version, 3);
    EXPECT_EQ(report.verdicts[1].sent, 4U);
    EXPECT_EQ(report.verdicts[1].dropped, 0U);
    EXPECT_EQ(checked.passes, 3);  // the pass that finds the list, then one per version

    const ImageStatistics& s = report.statistics;
    EXPECT_EQ(s.flashSectors, 1U);
    EXPECT_EQ(s.writeBlocks, 2U);
    EXPECT_EQ(s.endOfTables, 1U);
    EXPECT_EQ(s.dataBytes, 8U);
    EXPECT_EQ(s.lowestBlockAddress, 0x000100U);
    EXPECT_EQ(s.highestBlockAddress, 0x020010U);
    EXPECT_EQ(s.lines, 8);
    EXPECT_EQ(s.bytesRead, checked.bytes.size());
}

TEST(ImageCheck, ReportsAFaultBeforeTheHardwareListOnceForEveryKeyboard)
{
    CheckedImage checked(Lines({"#schema 1", "#schema 1", "#hardware 1"}), FileKind::S20);
    const ImageCheckReport report = CheckImage(checked.image, std::nullopt);
    EXPECT_FALSE(report.valid);
    EXPECT_EQ(report.message, "Error: Second use of '#schema' on line: 2?");
    EXPECT_TRUE(report.verdicts.empty());
    EXPECT_EQ(checked.passes, 1);
}

TEST(ImageCheck, PassesAnS20ImageWithoutRecordsOrHardwareForAnyKeyboard)
{
    CheckedImage checked(Lines({"// nothing yet", "#schema 1"}), FileKind::S20);
    const ImageCheckReport report = CheckImage(checked.image, std::nullopt);
    EXPECT_TRUE(report.valid);
    EXPECT_TRUE(report.verdicts.empty());
    EXPECT_EQ(report.statistics.lines, 2);
}

TEST(ImageCheck, ChecksAnS19ImageForTheGivenVersionOfZeroOrOne)
{
    const std::string text = Lines({kBlock, test::EndOfTableLine()});
    struct Case {
        std::optional<std::int32_t> version;
        bool valid;
        std::int32_t checkedVersion;
    };
    for (const Case c : {Case{std::nullopt, true, 0}, Case{1, true, 1}, Case{2, false, 2}}) {
        CheckedImage checked(text, FileKind::S19);
        const ImageCheckReport report = CheckImage(checked.image, c.version);
        EXPECT_EQ(report.valid, c.valid);
        ASSERT_EQ(report.verdicts.size(), 1U);
        EXPECT_EQ(report.verdicts[0].version, c.checkedVersion);
        if (!c.valid) {
            EXPECT_EQ(report.message,
                      "Error: The file \"a.s19\" does not support this version of the keyboard hardware.\n\n"
                      "File supports hardware version(s):\t0, 1\nCurrent keyboard hardware version:\t2");
        }
    }
}

TEST(ImageCheck, ReportsAnImageThatCanNoLongerBeOpened)
{
    ImageToCheck image{FileKind::S20, "a.s20", 10, [](std::string& message) -> std::unique_ptr<IByteSource> {
                           message = "gone";
                           return nullptr;
                       }};
    const ImageCheckReport report = CheckImage(image, 1);
    EXPECT_FALSE(report.valid);
    EXPECT_EQ(report.message, "gone");
}

} // namespace
} // namespace tavex
