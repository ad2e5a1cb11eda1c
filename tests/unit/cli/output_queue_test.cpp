#include "cli/output/output_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavex {
namespace {

ConsoleWrite Out(std::string text) { return {ConsoleStream::Out, std::move(text), std::nullopt}; }
ConsoleWrite Err(std::string text) { return {ConsoleStream::Err, std::move(text), std::nullopt}; }
ConsoleWrite Redraw(std::string text, std::size_t subject = 0) { return {ConsoleStream::Out, std::move(text), subject}; }

// The texts in the order the queue gives them out.
std::vector<std::string> Drained(OutputQueue& queue)
{
    std::vector<std::string> texts;
    while (!queue.Empty()) {
        texts.push_back(queue.Pop().text);
    }
    return texts;
}

struct QueueCase {
    const char* name;
    std::vector<ConsoleWrite> pushed;
    std::vector<std::string> written;
};

void PrintTo(const QueueCase& c, std::ostream* out) { *out << c.name; }

class OutputQueueOrder : public testing::TestWithParam<QueueCase> {};

TEST_P(OutputQueueOrder, KeepsWhatMustComeOutAndOnlyTheNewestRedraw)
{
    OutputQueue queue;
    for (const ConsoleWrite& write : GetParam().pushed) {
        queue.Push(write);
    }
    EXPECT_EQ(Drained(queue), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, OutputQueueOrder,
    testing::Values(
        QueueCase{"KeptWritesOfBothStreamsStayInTheirOrder",
                  {Out("status"), Err("message"), Out("end")},
                  {"status", "message", "end"}},
        QueueCase{"ARedrawReplacesTheOneWaiting", {Redraw("10%"), Redraw("20%"), Redraw("30%")}, {"30%"}},
        QueueCase{"ARedrawNeverReplacesAKeptWrite", {Out("status"), Redraw("10%")}, {"status", "10%"}},
        QueueCase{"AKeptWriteKeepsTheRedrawBeforeIt",
                  {Redraw("99%"), Out("\n"), Redraw("100%")},
                  {"99%", "\n", "100%"}},
        QueueCase{"AMessageOnStderrKeepsTheRedrawBeforeIt",
                  {Redraw("40%"), Err("Error"), Redraw("41%")},
                  {"40%", "Error", "41%"}},
        QueueCase{"AnEmptyKeptWriteKeepsTheRedrawBeforeIt", {Redraw("5%"), Out(""), Redraw("6%")}, {"5%", "", "6%"}},
        QueueCase{"EachSubjectKeepsItsNewestRedrawInTheOrderMade",
                  {Redraw("A 10", 0), Redraw("B 10", 1), Redraw("A 11", 0), Redraw("B 11", 1), Redraw("A 12", 0)},
                  {"B 11", "A 12"}},
        QueueCase{"ARedrawBeforeTheLastKeptWriteStaysWhateverComesAfter",
                  {Redraw("A 10", 0), Out("status B"), Redraw("B 10", 1), Redraw("A 11", 0)},
                  {"A 10", "status B", "B 10", "A 11"}}),
    [](const testing::TestParamInfo<QueueCase>& info) { return info.param.name; });

// A reader that has stopped costs one redraw, however many are made.
TEST(OutputQueue, HoldsOneRedrawOfEachSubjectWhileNothingIsTakenOut)
{
    OutputQueue queue;
    queue.Push(Out("table"));
    for (int percent = 0; percent <= 100; ++percent) {
        for (std::size_t device = 0; device < 3; ++device) {
            queue.Push(Redraw(std::to_string(device) + ": " + std::to_string(percent) + "%", device));
        }
    }
    EXPECT_EQ(queue.Size(), 4U);
    EXPECT_EQ(Drained(queue), (std::vector<std::string>{"table", "0: 100%", "1: 100%", "2: 100%"}));
}

// The redraw being written has left the queue: the next one waits behind it
// and is not lost for it.
TEST(OutputQueue, ARedrawTakenOutForWritingIsFollowedByTheNext)
{
    OutputQueue queue;
    queue.Push(Redraw("10%"));
    EXPECT_EQ(queue.Pop().text, "10%");
    queue.Push(Redraw("20%"));
    queue.Push(Redraw("30%"));
    EXPECT_EQ(Drained(queue), std::vector<std::string>{"30%"});
}

} // namespace
} // namespace tavex
