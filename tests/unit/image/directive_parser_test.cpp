#include "image/directive_parser.h"

#include "image/image_scan.h"
#include "support/byte_sources.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::Lines;
using test::MemoryImage;

const std::string kRecord = test::WriteBlockLine(0x001000, {1, 2, 3, 4});
const std::string kHeader = Lines({"#schema 1", "#hardware 1, 2"});

ScanPass ScanImage(const std::string& text, std::int32_t keyboardHardware)
{
    MemoryImage image(text, "tables.s20");
    ScanPass pass = ScanS20(image.cursor, keyboardHardware);
    EXPECT_LE(image.cursor.bytesRead, image.cursor.fileLength);
    return pass;
}

struct DirectiveCase {
    const char* name;
    std::string image;
    std::int32_t keyboardHardware;
    std::string message;  // empty: the image passes
};

void PrintTo(const DirectiveCase& c, std::ostream* out) { *out << c.name; }

class DirectiveImage : public testing::TestWithParam<DirectiveCase> {};

TEST_P(DirectiveImage, PassesOrFailsWithTheFirstFaultInTestingOrder)
{
    const DirectiveCase& c = GetParam();
    const ScanPass pass = ScanImage(c.image, c.keyboardHardware);
    EXPECT_EQ(pass.message, c.message);
    EXPECT_EQ(pass.passes, c.message.empty());
}

const std::string kLongComment = "//" + std::string(251, 'x');  // 255 bytes with CR LF

INSTANTIATE_TEST_SUITE_P(
    Accepted, DirectiveImage,
    testing::Values(
        DirectiveCase{"MixedCaseKeywords", Lines({"#SCHEMA 1", "#Hardware 2", "#IF-hardware 2", kRecord, "#EndIf"}),
                      2, ""},
        DirectiveCase{"SchemaDigitRightAfterKeyword", Lines({"#schema1", "#hardware 0", kRecord}), 0, ""},
        DirectiveCase{"CommentsAndBlankLinesAnywhere",
                      Lines({"", "// first", "#schema 1", "", "#hardware 1", "// between", kRecord, ""}), 1, ""},
        DirectiveCase{"LongestComment", Lines({kLongComment}), -1, ""},
        DirectiveCase{"BlanksAroundListValues", Lines({"#schema 1", "#hardware  3 ,4\t", kRecord}), 4, ""},
        DirectiveCase{"TrailingCommaDeclaresZero", Lines({"#schema 1", "#hardware 1,", kRecord}), 0, ""},
        DirectiveCase{"EmptyListDeclaresZero", Lines({"#schema 1", "#hardware", kRecord}), 0, ""},
        DirectiveCase{"TextAfterEndif", kHeader + Lines({"#if-hardware 1", kRecord, "#endif // table 2"}), 1, ""}),
    [](const testing::TestParamInfo<DirectiveCase>& info) { return info.param.name; });

const std::string kHardwareMismatch =
    "Error: The file \"tables.s20\" does not support this version of the keyboard hardware.\n\n"
    "File supports hardware version(s):\t0, 1\nCurrent keyboard hardware version:\t2";

INSTANTIATE_TEST_SUITE_P(
    Refused, DirectiveImage,
    testing::Values(
        DirectiveCase{"HardwareNotListed", Lines({"#schema 1", "#hardware  0, 1 ", kRecord}), 2, kHardwareMismatch},
        DirectiveCase{"SchemaTwo", Lines({"#schema 2"}), 1,
                      "Error: The file \"tables.s20\" is not supported by this version of the Tavex Firmware "
                      "Upload Utility.\n\nFile schema:\t2\nTFUU schema:\t1"},
        DirectiveCase{"SchemaWithoutValue", Lines({"#schema"}), 1,
                      "Error: The file \"tables.s20\" is not supported by this version of the Tavex Firmware "
                      "Upload Utility.\n\nFile schema:\t0\nTFUU schema:\t1"},
        DirectiveCase{"SchemaTooBigToWrapIntoOne", Lines({"#schema 4294967297"}), 1,
                      "Error: The file \"tables.s20\" is not supported by this version of the Tavex Firmware "
                      "Upload Utility.\n\nFile schema:\t2147483647\nTFUU schema:\t1"},
        DirectiveCase{"SecondSchema", Lines({"#schema 1", "#schema 1"}), 1,
                      "Error: Second use of '#schema' on line: 2?"},
        DirectiveCase{"SecondSchemaWithoutKeyword", Lines({"#schema 1", "#sxyz"}), 1,
                      "Error: Second use of '#schema' on line: 2?"},
        DirectiveCase{"SchemaLetterWithoutKeyword", Lines({"", "#sxyz 1"}), 1,
                      "Error: Unknown Directive on line: 2."},
        DirectiveCase{"HardwareBeforeSchema", Lines({"#hardware 1"}), 1,
                      "Error: Hardware defined before schema on line: 1."},
        DirectiveCase{"SecondHardware", kHeader + Lines({"#hardware 1"}), 1,
                      "Error: Second use of '#hardware' on line: 3?"},
        DirectiveCase{"SecondHardwareWithBadList", kHeader + Lines({"#hardware ,,"}), 1,
                      "Error: Second use of '#hardware' on line: 3?"},
        DirectiveCase{"ValueAbove255", Lines({"#schema 1", "#hardware 1, 256"}), 1,
                      "Error: Bad number list on line: 2."},
        DirectiveCase{"NegativeValue", Lines({"#schema 1", "#hardware -1"}), 1,
                      "Error: Bad number list on line: 2."},
        DirectiveCase{"HugeValueDoesNotWrap", Lines({"#schema 1", "#hardware 4294967297"}), 1,
                      "Error: Bad number list on line: 2."},
        DirectiveCase{"LeadingComma", Lines({"#schema 1", "#hardware,1"}), 1, "Error: Bad number list on line: 2."},
        DirectiveCase{"AdjacentCommas", Lines({"#schema 1", "#hardware 1,,2"}), 1,
                      "Error: Bad number list on line: 2."},
        DirectiveCase{"BadIfHardwareList", kHeader + Lines({"#if-hardware 1,,2"}), 1,
                      "Error: Bad number list on line: 3."},
        DirectiveCase{"SlashWithoutSecondSlash", Lines({"/* comment */"}), 1,
                      "Error: Illegal comment on line: 1?"},
        DirectiveCase{"UnknownDirectiveLetter", Lines({"#define X"}), 1, "Error: Unknown Directive on line: 1."},
        DirectiveCase{"CommentTooLong", Lines({kLongComment + "x"}), 1, "Error: Unknown Directive on line: 1."},
        DirectiveCase{"CommentWithoutLineEnd", "// last", 1, "Error: Unknown Directive on line: 1."},
        DirectiveCase{"DirectiveWithoutLineEnd", Lines({"#schema 1"}) + "#hardware 1", 1,
                      "Error: Unknown Directive on line: 2."},
        DirectiveCase{"NestedIf", kHeader + Lines({"#if-hardware 1", "#if-hardware 2"}), 1,
                      "Error: Nested '#if-hardware' on line: 4."},
        DirectiveCase{"IfLetterInsideBlock", kHeader + Lines({"#if-hardware 1", "#ixyz"}), 1,
                      "Error: Nested '#if-hardware' on line: 4."},
        DirectiveCase{"RecordBeforeHardware", Lines({"#schema 1", "", kRecord}), 1,
                      "Error: Command issued before '#hardware' defined on line: 3."},
        DirectiveCase{"UnmatchedEndif", kHeader + Lines({"#endif"}), 1, "Error: Unmatched '#endif' on line: 3."},
        DirectiveCase{"OpenIfAtEnd", kHeader + Lines({"#if-hardware 2", kRecord, kRecord}), 1,
                      "Error: '#if-hardware' directive on line: 3 has no matching '#endif'."},
        DirectiveCase{"IfNamesUndeclaredVersion", Lines({"#schema 1", "#hardware 1, 2", "#if-hardware 3"}), 1,
                      "Error: '#if-hardware' list contains undefined hardware values on line: 3."},
        DirectiveCase{"IfBeforeHardware", Lines({"#schema 1", "#if-hardware 0"}), 0,
                      "Error: '#if-hardware' list contains undefined hardware values on line: 2."},
        DirectiveCase{"RecordBeforeSchema", Lines({"// comment", kRecord}), 1,
                      "Error: Command issued before '#schema' defined on line: 2."},
        DirectiveCase{"FaultyRecordAfterDirectives", Lines({"#schema 1", "#hardware 1", "", "// x", "S2"}), 1,
                      "Error: Bad length descriptor 13:10 on line 5 of \"tables.s20\"."},
        DirectiveCase{"IndentedDirectiveIsARecord", Lines({" #schema 1"}), 1,
                      "Error: Unrecognized command \" #\" on line 1 of \"tables.s20\"."},
        DirectiveCase{"LoneLineFeedSwallowsTheNextLine", Lines({"#schema 1\n#hardware 1", kRecord}), 1,
                      "Error: Command issued before '#hardware' defined on line: 2."}),
    [](const testing::TestParamInfo<DirectiveCase>& info) { return info.param.name; });

TEST(DirectiveFilter, DropsRecordsOfBlocksThatExcludeTheKeyboardButStillVerifiesThem)
{
    const std::string image = kHeader + Lines({kRecord, "#if-hardware 2", kRecord, kRecord, "#endif", kRecord});
    const ScanPass one = ScanImage(image, 1);
    EXPECT_TRUE(one.passes) << one.message;
    EXPECT_EQ(one.sent, 2U);
    EXPECT_EQ(one.dropped, 2U);

    const ScanPass two = ScanImage(image, 2);
    EXPECT_EQ(two.sent, 4U);
    EXPECT_EQ(two.dropped, 0U);

    std::string badChecksum = kRecord;
    badChecksum.back() = badChecksum.back() == '0' ? '1' : '0';
    const ScanPass bad = ScanImage(kHeader + Lines({"#if-hardware 2", badChecksum, "#endif"}), 1);
    EXPECT_EQ(bad.message.rfind("Error: Invalid checksum", 0), 0U) << bad.message;
}

TEST(DirectiveFilter, ChecksTheFirstRecordEvenInsideASkippedBlock)
{
    const ScanPass pass = ScanImage(Lines({"#if-hardware 1", kRecord}), 1);
    EXPECT_EQ(pass.message, "Error: '#if-hardware' list contains undefined hardware values on line: 1.");
    const ScanPass skipped = ScanImage(Lines({"#schema 1", "// no hardware", kRecord}), 1);
    EXPECT_EQ(skipped.message, "Error: Command issued before '#hardware' defined on line: 3.");
}

// Offers one line to a parser positioned on a memory image.
struct ParserOnLine {
    explicit ParserOnLine(const std::string& rest) : image(rest) { parser.Reset(); }

    bool Parse(const std::string& firstTwo, std::int32_t line = 1)
    {
        start[0] = static_cast<std::uint8_t>(firstTwo[0]);
        start[1] = static_cast<std::uint8_t>(firstTwo[1]);
        return parser.ParseLine(start, image.cursor.imageFile, &image.cursor.bytesRead, line, "tables.s20");
    }

    MemoryImage image;
    CDirectiveParser parser;
    std::uint8_t start[2] = {};
};

TEST(DirectiveParser, ConsumesExactlyTheBytesOfItsLine)
{
    ParserOnLine on("chema 1\r\nS2");
    EXPECT_TRUE(on.Parse("#s"));
    EXPECT_EQ(on.image.cursor.bytesRead, 9U);
    EXPECT_EQ(on.parser.lineText, " 1\r\n");
    EXPECT_EQ(on.parser.schema, 1);
}

TEST(DirectiveParser, DeclinesRecordLinesWithoutReadingAndAcceptsBlankLines)
{
    ParserOnLine on("rest");
    EXPECT_FALSE(on.Parse("S2"));
    EXPECT_FALSE(on.parser.errorFlag);
    EXPECT_TRUE(on.Parse("\r\n"));
    EXPECT_EQ(on.image.cursor.bytesRead, 0U);
    EXPECT_EQ(on.parser.lineNumber, 1);
}

TEST(DirectiveParser, CountsTheBytesOfAFailedLineRead)
{
    ParserOnLine on(std::string(300, '/'));
    EXPECT_FALSE(on.Parse("//"));
    EXPECT_TRUE(on.parser.errorFlag);
    EXPECT_EQ(on.image.cursor.bytesRead, 253U);
}

TEST(DirectiveParser, KeepsDuplicatesAndTheListAsWritten)
{
    ParserOnLine on("ardware 2, 1,2 ,\r\n");
    on.parser.schema = 1;
    on.parser.keyboardHardware = 0;
    EXPECT_TRUE(on.Parse("#h")) << on.parser.message;
    EXPECT_EQ(on.parser.hardwareList, (std::vector<std::uint8_t>{2, 1, 2, 0}));
    EXPECT_EQ(on.parser.hardwareListText, "2, 1,2 ,");
}

TEST(DirectiveParser, DecidesSkippingPerBlockAndResetClearsEverySessionValue)
{
    ParserOnLine on("f-hardware 2\r\nndif\r\n");
    on.parser.schema = 1;
    on.parser.hardwareList = {1, 2};
    on.parser.keyboardHardware = 1;
    EXPECT_TRUE(on.Parse("#i", 7));
    EXPECT_TRUE(on.parser.insideIf);
    EXPECT_TRUE(on.parser.skipRecords);
    EXPECT_EQ(on.parser.ifLine, 7);
    EXPECT_TRUE(on.Parse("#e", 8));
    EXPECT_FALSE(on.parser.insideIf);
    EXPECT_FALSE(on.parser.skipRecords);

    on.parser.fileKind = FileKind::S20;
    on.parser.errorFlag = true;
    on.parser.message = "old";
    on.parser.Reset();
    EXPECT_EQ(on.parser.fileKind, FileKind::S20);
    EXPECT_EQ(on.parser.schema, -1);
    EXPECT_EQ(on.parser.keyboardHardware, -1);
    EXPECT_EQ(on.parser.ifLine, -1);
    EXPECT_EQ(on.parser.lineNumber, -1);
    EXPECT_FALSE(on.parser.errorFlag);
    EXPECT_TRUE(on.parser.message.empty());
    EXPECT_TRUE(on.parser.hardwareList.empty());
    EXPECT_EQ(on.parser.bytesRead, nullptr);
}

TEST(DirectiveParser, ReportsAFailedReadOfTheMediumAsAReadError)
{
    test::FailingByteSource source("chema");
    CDirectiveParser parser;
    parser.Reset();
    std::uint64_t bytesRead = 2;
    const std::uint8_t start[2] = {'#', 's'};
    EXPECT_FALSE(parser.ParseLine(start, &source, &bytesRead, 4, "tables.s20"));
    EXPECT_EQ(parser.message, "Error: A read error occurred on line 4 of \"tables.s20\".");
    EXPECT_EQ(bytesRead, 7U);
}

} // namespace
} // namespace tavex
