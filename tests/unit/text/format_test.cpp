#include "text/format.h"

#include <gtest/gtest.h>

#include <set>

namespace tavex {
namespace {

TEST(StringTable, HoldsEachNumberOnce)
{
    std::set<int> seen;
    for (const NumberedString& entry : kStringTable) {
        EXPECT_TRUE(seen.insert(entry.id).second) << entry.id;
        EXPECT_FALSE(entry.text.empty()) << entry.id;
    }
    EXPECT_EQ(LoadString(112), "OFF-LINE");
    EXPECT_EQ(LoadString(999), "");
}

TEST(StringTable, KeepsTheTextsAsTheProgramShowsThem)
{
    EXPECT_EQ(StringText<123>, "An internal error occured (code = %d).");
    EXPECT_EQ(StringText<137>, "Error: A download operation can not be peformed until a valid .s19 or .s20 filename "
                               "has been specified.");
    EXPECT_EQ(StringText<100>, "OLE initialization failed.  Make sure that the OLE libraries are the correct version.");
    EXPECT_EQ(StringText<103>, "s20 Files (*.s20)|*.s20|s19 Files (*.s19)|*.s19|All Files (*.*)|*.*||");
}

// Every numbered string that takes arguments, formatted with the argument
// types its callers give; the compiler checks the types, this checks the text.
TEST(Format, FillsEveryConversionInOrder)
{
    EXPECT_EQ(Message<107>("A.S19X"), "Error: The file \"A.S19X\" does not have an .s19 or .s20 extension.");
    EXPECT_EQ(Message<108>(std::string("x.s19")), "Error: The file \"x.s19\" could not be found.");
    EXPECT_EQ(Message<109>(std::string("x.s19")),
              "An error occurred while trying to open \"x.s19\".\n\nMake sure this file has not been opened by another "
              "application.");
    EXPECT_EQ(Message<110>(std::string("x.s19")), "An error occurred while accessing \"x.s19\".");
    EXPECT_EQ(Message<115>(5), "Writing Block: 5");
    EXPECT_EQ(Message<122>(std::string("FSM_s19-0")), "An internal error occured (code = FSM_s19-0).");
    EXPECT_EQ(Message<123>(5004), "An internal error occured (code = 5004).");
    EXPECT_EQ(Message<124>('\0', 'x', -1, ""), std::string("Error: Unrecognized command \"") + '\0' + "x\" on line -1 of \"\".");
    EXPECT_EQ(Message<135>(16), "Error: An exception was thrown attempting to select COM16.");
    EXPECT_EQ(Message<139>(1), "Error: COM 1 could not be opened.");
    EXPECT_EQ(Message<401>(std::string("f.s20"), -7, 1),
              "Error: The file \"f.s20\" is not supported by this version of the Tavex Firmware Upload Utility.\n\n"
              "File schema:\t-7\nTFUU schema:\t1");
    EXPECT_EQ(Format<int>("100%% of %d", 3), "100% of 3");
}

TEST(Format, ChecksConversionsAgainstArgumentTypes)
{
    using format_detail::ConversionsMatch;
    static_assert(ConversionsMatch("%c%c %d %s", "ccds"));
    static_assert(!ConversionsMatch("%d", ""));
    static_assert(!ConversionsMatch("%d", "dd"));
    static_assert(!ConversionsMatch("%s", "d"));
    static_assert(!ConversionsMatch("50%", ""));
    static_assert(format_detail::ConversionFor<std::uint8_t>() == 'c');
    static_assert(format_detail::ConversionFor<std::int32_t>() == 'd');
    static_assert(format_detail::ConversionFor<std::string_view>() == 's');
    static_assert(format_detail::ConversionFor<bool>() == '?');
    SUCCEED();
}

} // namespace
} // namespace tavex
