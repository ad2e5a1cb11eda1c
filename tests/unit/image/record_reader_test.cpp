#include "image/record_reader.h"

#include "support/byte_sources.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::FailingByteSource;
using test::MemoryImage;

// Reads one line as the .s19 machine does: ReadLineStart, then DecodeRecord.
struct LineResult {
    LineStart start;
    std::optional<RecordKind> kind;
    std::string message;
};

LineResult ReadLine(ImageCursor& cursor, RecordFields& record)
{
    LineResult result{};
    result.start = ReadLineStart(cursor, record, result.message);
    if (result.start == LineStart::TwoBytesRead) {
        result.kind = DecodeRecord(cursor, record, result.message);
    }
    return result;
}

// The first fault of an image, read line by line to its end.
std::string FirstFault(MemoryImage& image)
{
    RecordFields record;
    while (true) {
        const LineResult line = ReadLine(image.cursor, record);
        if (line.start == LineStart::EndOfImage) {
            return "";
        }
        if (!line.message.empty()) {
            return line.message;
        }
    }
}

TEST(RecordReader, DecodesTheThreeKindsAndCountsEveryByte)
{
    MemoryImage image(test::Lines({"C104000003F8", "S205012345AAE7", "S804FFFFFFFE"}));
    ASSERT_EQ(image.cursor.fileLength, 44U);
    RecordFields record;

    LineResult line = ReadLine(image.cursor, record);
    EXPECT_EQ(line.kind, RecordKind::FlashSector);
    EXPECT_EQ(record.sectorNumber, 3);
    EXPECT_EQ(image.cursor.bytesRead, 14U);

    line = ReadLine(image.cursor, record);
    EXPECT_EQ(line.kind, RecordKind::WriteBlock);
    EXPECT_EQ(record.blockAddress, 0x012345U);
    EXPECT_EQ(record.recordLength, 1);
    EXPECT_EQ(record.recordBuffer[record.recordData], 0xAA);
    EXPECT_EQ(image.cursor.bytesRead, 30U);

    line = ReadLine(image.cursor, record);
    EXPECT_EQ(line.kind, RecordKind::EndOfTable);
    EXPECT_EQ(image.cursor.bytesRead, 44U);
    EXPECT_EQ(image.cursor.lineNumber, 3);

    line = ReadLine(image.cursor, record);
    EXPECT_EQ(line.start, LineStart::EndOfImage);
    EXPECT_EQ(line.message, "");
}

TEST(RecordReader, AcceptsAFullBlockOfSixteenBytesAndLowerCaseDigits)
{
    std::vector<std::uint8_t> data(16);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(0xF0 + i);
    }
    std::string line = test::WriteBlockLine(0xFEDCBA, data);
    for (std::size_t i = 2; i < line.size(); ++i) {
        line[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(line[i])));
    }
    MemoryImage image(test::Lines({line}));
    RecordFields record;
    const LineResult result = ReadLine(image.cursor, record);
    ASSERT_EQ(result.kind, RecordKind::WriteBlock) << result.message;
    EXPECT_EQ(record.blockAddress, 0xFEDCBAU);
    ASSERT_EQ(record.recordLength, 16);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), record.recordBuffer.begin() + 3));
    EXPECT_EQ(image.cursor.bytesRead, 46U);
}

TEST(RecordReader, EndsNormallyOnAStrayByteAfterTheLastLineEnd)
{
    MemoryImage image(test::Lines({"S804FFFFFFFE"}) + "x");
    EXPECT_EQ(FirstFault(image), "");
    EXPECT_EQ(image.cursor.bytesRead, image.cursor.fileLength);
}

TEST(RecordReader, FindsTheEndOfAnEmptyImageAtOnce)
{
    MemoryImage image("");
    RecordFields record;
    std::string message;
    EXPECT_EQ(ReadLineStart(image.cursor, record, message), LineStart::EndOfImage);
    EXPECT_EQ(image.cursor.lineNumber, 1);
}

struct FaultCase {
    const char* name;
    std::string image;
    std::string message;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class RecordFault : public testing::TestWithParam<FaultCase> {};

TEST_P(RecordFault, StopsAtTheFirstFaultyLineWithItsMessage)
{
    MemoryImage image(GetParam().image, "firmware.s19");
    EXPECT_EQ(FirstFault(image), GetParam().message);
    EXPECT_LE(image.cursor.bytesRead, image.cursor.fileLength);
}

const std::string kGood = "C104000003F8\r\n";

INSTANTIATE_TEST_SUITE_P(
    Messages, RecordFault,
    testing::Values(
        FaultCase{"UnknownType", kGood + "S1040000FB\r\n",
                  "Error: Unrecognized command \"S1\" on line 2 of \"firmware.s19\"."},
        FaultCase{"LowerCaseType", "c104000003F8\r\n",
                  "Error: Unrecognized command \"c1\" on line 1 of \"firmware.s19\"."},
        FaultCase{"BlankLineInS19", kGood + "\r\n" + kGood,
                  "Error: Unrecognized command \"\r\n\" on line 2 of \"firmware.s19\"."},
        FaultCase{"LineFeedOnlyLineEnds", "C104000003F8\nS804FFFFFFFE\n",
                  "Error: Unrecognized command \"80\" on line 2 of \"firmware.s19\"."},
        FaultCase{"LengthMissing", kGood + "S2",
                  "Error: Record length input underrun on line 2 of \"firmware.s19\"."},
        FaultCase{"LengthCutShort", kGood + "S20",
                  "Error: Record length input underrun on line 2 of \"firmware.s19\"."},
        FaultCase{"LengthNotHex", "S21g0000\r\n",
                  "Error: Bad length descriptor 49:103 on line 1 of \"firmware.s19\"."},
        FaultCase{"LowerCaseLengthOutOfRange", "S21a\r\n",
                  "Error: S2 record length out of range on line 1 of \"firmware.s19\".\n\n(len = 26)"},
        FaultCase{"WriteBlockTooLong", "S215\r\n",
                  "Error: S2 record length out of range on line 1 of \"firmware.s19\".\n\n(len = 21)"},
        FaultCase{"WriteBlockWithoutData", "S2040000\r\n",
                  "Error: S2 record length out of range on line 1 of \"firmware.s19\".\n\n(len = 4)"},
        FaultCase{"FlashSectorLength", "C1050000000000\r\n",
                  "Error: C1 record length out of range on line 1 of \"firmware.s19\".\n\n(len = 5)"},
        FaultCase{"EndOfTableLength", "S803FFFF\r\n",
                  "Error: S8 record length out of range on line 1 of \"firmware.s19\".\n\n(len = 3)"},
        FaultCase{"LastLineWithoutLineEnd", kGood + "S804FFFFFFFE",
                  "Error: Record data input underrun on line 2 of \"firmware.s19\"."},
        FaultCase{"WrongChecksum", "S205012345AAE8\r\n",
                  "Error: Invalid checksum (231) on line 1 of \"firmware.s19\"."},
        // Counted as 0, the 'G' would pass the checksum of the byte A0.
        FaultCase{"NonHexDataDigit", kGood + "S205012345AGF1\r\n",
                  "Error: Bad data digits 65:71 on line 2 of \"firmware.s19\"."},
        FaultCase{"NonHexAddressDigit", "S2050123 5AAE7\r\n",
                  "Error: Bad data digits 32:53 on line 1 of \"firmware.s19\"."},
        FaultCase{"NonHexChecksumDigit", "S205012345AAE+\r\n",
                  "Error: Bad data digits 69:43 on line 1 of \"firmware.s19\"."}),
    [](const testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST(RecordReader, ReportsAShortReadBeforeTheFileLengthAsAnUnderrun)
{
    // The file is shorter than the length taken when it was opened.
    MemoryImage image(kGood + "C");
    image.cursor.fileLength += 20;
    EXPECT_EQ(FirstFault(image), "Error: Record command input underrun on line 2 of \"image.s19\".");
}

TEST(RecordReader, ReportsAFailedReadOfTheMediumAsAReadErrorNotAsTheEnd)
{
    for (const std::string& served : {std::string(), kGood + "C", kGood + "C104"}) {
        FailingByteSource source(served);
        ImageCursor cursor{&source, served.size(), 0, 0, "image.s19"};
        RecordFields record;
        std::string message;
        if (ReadLineStart(cursor, record, message) == LineStart::TwoBytesRead) {
            DecodeRecord(cursor, record, message);
            if (message.empty() && ReadLineStart(cursor, record, message) == LineStart::TwoBytesRead) {
                DecodeRecord(cursor, record, message);
            }
        }
        EXPECT_EQ(message, "Error: A read error occurred on line " + std::to_string(cursor.lineNumber) +
                               " of \"image.s19\".")
            << "after " << served.size() << " bytes";
    }
}

TEST(HexPairValue, ReadsBothCasesAndCountsOtherCharactersAsZero)
{
    struct Case {
        char high, low;
        int value;
    };
    for (const Case c : {Case{'0', '0', 0x00}, Case{'F', 'F', 0xFF}, Case{'a', 'b', 0xAB}, Case{'9', 'f', 0x9F},
                         Case{'G', '1', 0x01}, Case{'1', 'g', 0x10}, Case{' ', '\0', 0x00}}) {
        EXPECT_EQ(HexPairValue(c.high, c.low), c.value) << c.high << c.low;
    }
}

} // namespace
} // namespace tavex
