// The edges of a session: the 57600 retry from one download to the next,
// closing the window in every protocol state, and the exact reply limit of
// the watchdog. Whole sessions on a virtual clock against the in-process
// keyboard.

#include "support/image_text.h"
#include "support/session_bench.h"
#include "support/session_inspector.h"
#include "support/state_names.h"
#include "text/format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <set>

namespace tavex {
namespace {

using Inspect = test::SessionInspector;

using Bytes = std::vector<std::uint8_t>;
using test::Lines;
using test::SessionBench;
using test::StateName;

const std::string kImage =
    Lines({test::FlashSectorLine(1), test::WriteBlockLine(0x100, {1, 2}), test::WriteBlockLine(0x110, {3, 4}),
           test::EndOfTableLine()});
const Bytes kEndOfTableFrame = {0x53, 0x38, 0x04, 0xFF, 0xFF, 0xFF, 0xFE};
const std::string kPingAt19200 = "Sending PING...  at 19200 Baudrate ";
const std::string kPingAt57600 = "Sending PING...  at  57600 Baudrate ";

KeyboardConfig OnlyAt57600(const char* fault = nullptr)
{
    KeyboardConfig config;
    config.onlyBaud = 57600;
    if (fault != nullptr) {
        config.faults.Add(*ParseFault(fault).fault);
    }
    return config;
}

KeyboardConfig WithFault(const char* fault)
{
    KeyboardConfig config;
    config.faults.Add(*ParseFault(fault).fault);
    return config;
}

bool Contains(const std::vector<std::uint32_t>& bauds, std::uint32_t baud)
{
    return std::find(bauds.begin(), bauds.end(), baud) != bauds.end();
}

// ---------------------------------------------------------------------------
// Every download gets its own retry at 57600, however the download before it
// on the same window ended.

struct FirstDownload {
    const char* name;
    KeyboardConfig keyboard;
    std::optional<ProtocolState> cancelIn;  // the operator cancels once the state is reached
    std::string message;                    // what the first download ends with; empty: silent
};

void PrintTo(const FirstDownload& c, std::ostream* out) { *out << c.name; }

class RetryAt57600 : public testing::TestWithParam<FirstDownload> {};

TEST_P(RetryAt57600, IsTriedAgainByTheNextDownload)
{
    const FirstDownload& c = GetParam();
    SessionBench bench(c.keyboard);
    bench.files.Add("image.s19", kImage);
    bench.Open();
    if (c.cancelIn) {
        ASSERT_TRUE(bench.StartUntil("image.s19", *c.cancelIn));
        bench.session.OnOK();
        ASSERT_TRUE(bench.RunToIdle());
    } else {
        ASSERT_TRUE(bench.Download("image.s19"));
    }
    EXPECT_EQ(bench.host.messages, c.message.empty() ? std::vector<std::string>{}
                                                     : std::vector<std::string>{c.message});
    ASSERT_TRUE(Contains(bench.control().frameBauds, 57600)) << "the first download never retried";
    ASSERT_EQ(bench.session.State(), bpStateNONE);

    // A fresh keyboard that answers only at 57600, so that its flash shows
    // what the second download alone wrote.
    bench.keyboard = KeyboardModel(OnlyAt57600());
    bench.host.messages.clear();
    bench.host.statusLines.clear();
    bench.control().frames.clear();
    bench.control().frameBauds.clear();
    ASSERT_TRUE(bench.Download("image.s19"));

    EXPECT_TRUE(bench.host.messages.empty()) << bench.host.messages.front();
    const auto& lines = bench.host.statusLines;
    const auto at19200 = std::find(lines.begin(), lines.end(), kPingAt19200);
    EXPECT_NE(at19200, lines.end());
    EXPECT_NE(std::find(at19200, lines.end(), kPingAt57600), lines.end());
    ASSERT_FALSE(bench.control().frameBauds.empty());
    EXPECT_EQ(bench.control().frameBauds.front(), 19200U);
    EXPECT_EQ(bench.control().frameBauds.back(), 57600U);
    EXPECT_EQ(bench.keyboard.Flash().BlocksWritten(), 2U);
    EXPECT_EQ(bench.host.statusLines.back(), "OFF-LINE");
    EXPECT_FALSE(bench.control().GetPortOpen());
}

INSTANTIATE_TEST_SUITE_P(
    AfterAFirstDownload, RetryAt57600,
    testing::Values(
        FirstDownload{"ThatSucceededAt57600", OnlyAt57600(), std::nullopt, ""},
        FirstDownload{"ThatFailedAt57600", OnlyAt57600("S2:ce"), std::nullopt, "A communication error occurred."},
        FirstDownload{"CancelledAt57600", OnlyAt57600(), bpStateSENT_S2, ""},
        FirstDownload{"ThatGaveUpWithoutAPong", WithFault("C0:silent"), std::nullopt,
                      std::string(StringText<140>)},
        FirstDownload{"ThatGaveUpWithoutAnId", WithFault("T7:silent"), std::nullopt,
                      std::string(StringText<141>)}),
    [](const testing::TestParamInfo<FirstDownload>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Closing the window sends the end-of-table after a pause of half a second
// in every state but idle and a PING still unanswered; the port closes in
// every state.

const std::set<ProtocolState> kStatesClosedWithoutEndOfTable = {bpStateNONE, bpStateSENT_C0};

class EndSessionIn : public testing::TestWithParam<ProtocolState> {};

TEST_P(EndSessionIn, SendsTheEndOfTableAfterAPauseUnlessIdleOrAwaitingThePong)
{
    const ProtocolState state = GetParam();
    const bool endsTable = !kStatesClosedWithoutEndOfTable.contains(state);
    SessionBench bench;
    bench.files.Add("image.s19", kImage);
    bench.Open();
    ASSERT_TRUE(bench.StartUntil("image.s19", bpStateSEND_C0));  // the port is open, nothing sent yet
    ASSERT_TRUE(bench.control().GetPortOpen());
    ASSERT_TRUE(bench.control().frames.empty());
    ASSERT_TRUE(bench.host.pausesMs.empty());
    Inspect::SetProtocolState(bench.session, state);

    // What the line has carried half-way through a pause that would precede
    // the frame; the event runs only if the session pauses.
    const std::uint64_t start = bench.loop.NowMicros();
    std::optional<std::size_t> framesMidPause;
    bench.loop.Happen(start + 250'000, [&] { framesMidPause = bench.control().frames.size(); });

    bench.session.EndSession(5005);

    if (endsTable) {
        EXPECT_EQ(bench.control().frames, std::vector<Bytes>{kEndOfTableFrame});
        EXPECT_EQ(bench.host.pausesMs, std::vector<std::uint64_t>{500});
        EXPECT_EQ(framesMidPause, std::optional<std::size_t>{0}) << "the frame went before the pause";
        EXPECT_EQ(bench.loop.NowMicros() - start, 500'000U);
    } else {
        EXPECT_TRUE(bench.control().frames.empty());
        EXPECT_TRUE(bench.host.pausesMs.empty());
        EXPECT_EQ(bench.loop.NowMicros(), start);
    }
    EXPECT_FALSE(bench.control().GetPortOpen());
    EXPECT_FALSE(Inspect::PortOpen(bench.session));
    EXPECT_EQ(Inspect::TimerId(bench.session), 0U);
    EXPECT_EQ(Inspect::ImageFile(bench.session), nullptr);
    EXPECT_TRUE(bench.session.IsClosed());
    EXPECT_EQ(bench.host.endCode, 5005);
    EXPECT_TRUE(bench.host.messages.empty()) << bench.host.messages.front();
}

INSTANTIATE_TEST_SUITE_P(EveryState, EndSessionIn, testing::Range<ProtocolState>(bpStateNONE, kLastProtocolState + 1),
                         [](const testing::TestParamInfo<ProtocolState>& info) {
                             return std::string(StateName(info.param));
                         });

// ---------------------------------------------------------------------------
// The watchdog lets a reply be 6000 ms late and no later: a tick that finds
// 6001 ms gone since the command treats the reply as missing.

struct WatchedState {
    ProtocolState state;
    const char* silence;  // the fault that keeps the keyboard from answering
    bool retriesAt57600;  // a late reply retries at 57600; otherwise the transfer times out
};

void PrintTo(const WatchedState& watched, std::ostream* out) { *out << StateName(watched.state); }

class WatchdogLimit : public testing::TestWithParam<std::tuple<WatchedState, std::uint32_t>> {};

TEST_P(WatchdogLimit, TreatsTheReplyAsMissingOnlyPast6000Ms)
{
    const auto& [watched, elapsedMs] = GetParam();
    const bool late = elapsedMs > 6000;
    SessionBench bench(WithFault(watched.silence));
    bench.files.Add("image.s19", kImage);
    bench.Open();
    ASSERT_TRUE(bench.StartUntil("image.s19", watched.state));  // the command has just gone
    const std::size_t framesSent = bench.control().frames.size();
    const std::size_t linesShown = bench.host.statusLines.size();

    // The clock moves on with no message run, then the watchdog ticks once;
    // messages that tick posts for now follow, later ones do not.
    bench.loop.Pause(elapsedMs * 1000ULL);
    bench.session.OnTimer(kWatchdogTimerId);
    const std::uint64_t now = bench.loop.NowMicros();
    bench.loop.RunUntil([] { return false; }, now);

    if (!late) {
        EXPECT_EQ(bench.session.State(), watched.state);
        EXPECT_EQ(bench.control().frames.size(), framesSent);
        EXPECT_EQ(bench.host.statusLines.size(), linesShown);
        EXPECT_TRUE(bench.host.messages.empty()) << bench.host.messages.front();
        EXPECT_EQ(Inspect::BaudRetried(bench.session), 0);
    } else if (watched.retriesAt57600) {
        EXPECT_TRUE(bench.host.messages.empty()) << bench.host.messages.front();
        EXPECT_EQ(Inspect::BaudRetried(bench.session), 1);
        ASSERT_EQ(bench.control().frames.size(), framesSent + 1);
        EXPECT_EQ(bench.control().frames.back(), (Bytes{0x43, 0x30, 0x01, 0xFE}));
        EXPECT_EQ(bench.control().frameBauds.back(), 57600U);
        EXPECT_EQ(bench.host.statusLines.back(), kPingAt57600);
    } else {
        EXPECT_EQ(bench.host.messages, std::vector<std::string>{"Error: The transfer has timed-out."});
        EXPECT_EQ(bench.control().frames.size(), framesSent);
        EXPECT_EQ(bench.session.State(), bpStateNONE);
        EXPECT_FALSE(bench.control().GetPortOpen());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, WatchdogLimit,
    testing::Combine(testing::Values(WatchedState{bpStateSENT_C0, "C0:silent", true},
                                     WatchedState{bpStateSENT_T7, "T7:silent", true},
                                     WatchedState{bpStateSENT_C1, "C1:silent", false},
                                     WatchedState{bpStateSENT_S2, "S2:silent", false},
                                     WatchedState{bpStateSENT_S8, "S8:silent", false}),
                     testing::Values(5999U, 6000U, 6001U)),
    [](const testing::TestParamInfo<std::tuple<WatchedState, std::uint32_t>>& info) {
        return std::string(StateName(std::get<0>(info.param).state)) + "_After" +
               std::to_string(std::get<1>(info.param)) + "Ms";
    });

} // namespace
} // namespace tavex
