// Whole downloads against the in-process keyboard, on a virtual clock.

#include "support/image_text.h"
#include "support/session_bench.h"
#include "support/session_inspector.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using Inspect = test::SessionInspector;

using Bytes = std::vector<std::uint8_t>;
using test::Lines;
using test::SessionBench;

const std::string kThreeLines = Lines({"C104000003F8", "S205012345AAE7", "S804FFFFFFFE"});

TEST(Download, SendsTheThreeLineImageAndReturnsSilentlyToIdle)
{
    SessionBench bench;
    bench.files.Add("image.s19", kThreeLines);
    bench.Open();
    ASSERT_TRUE(bench.Download("image.s19"));

    EXPECT_EQ(bench.control().frames,
              (std::vector<Bytes>{{0x43, 0x30, 0x01, 0xFE},
                                  {0x54, 0x37, 0x01, 0xFE},
                                  {0x43, 0x31, 0x04, 0xCA, 0xC5, 0x03, 0x69},
                                  {0x53, 0x32, 0x05, 0x01, 0x23, 0x45, 0xAA, 0xE7},
                                  {0x53, 0x38, 0x04, 0xFF, 0xFF, 0xFF, 0xFE}}));
    EXPECT_EQ(bench.host.statusLines,
              (std::vector<std::string>{"Establishing Communications...", "Sending PING...  at 19200 Baudrate ",
                                        "Received PONG", "Reading Keyboard ID", "Keyboard ID Received",
                                        "Flashing Sector...", "Sector Flashed", "Writing Block: 1",
                                        "Finished current language table...", "OFF-LINE"}));
    EXPECT_EQ(bench.host.progress, (std::vector<int>{31, 68, 100, 0}));
    EXPECT_TRUE(bench.host.messages.empty()) << bench.host.messages.front();
    EXPECT_EQ(bench.host.pausesMs, std::vector<std::uint64_t>{800});
    EXPECT_EQ(bench.host.buttonTexts, (std::vector<std::string>{"Cancel", "Close"}));
    EXPECT_EQ(bench.host.inputControlsEnabled, (std::vector<bool>{false, true}));
    EXPECT_FALSE(Inspect::PortOpen(bench.session));
    EXPECT_EQ(Inspect::ImageFile(bench.session), nullptr);
    EXPECT_EQ(Inspect::MachineState(bench.session), bpStateNONE);
    EXPECT_EQ(bench.keyboard.Flash().BlocksWritten(), 1U);
}

} // namespace
} // namespace tavex

namespace tavex {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Lines;
using test::SessionBench;

KeyboardConfig WithFault(const std::string& fault, std::uint8_t hardware = 1)
{
    KeyboardConfig config;
    config.hardwareVersion = hardware;
    config.faults.Add(*ParseFault(fault).fault);
    return config;
}

const std::string kSmallImage =
    Lines({test::FlashSectorLine(1), test::WriteBlockLine(0x100, {1, 2}), test::WriteBlockLine(0x110, {3, 4}),
           test::EndOfTableLine()});

struct FailureCase {
    const char* name;
    KeyboardConfig keyboard;
    std::string message;
    std::size_t framesSent;
};

class DownloadFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(DownloadFailure, EndsWithOneMessageAndReturnsToIdle)
{
    const FailureCase& c = GetParam();
    SessionBench bench(c.keyboard);
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    ASSERT_TRUE(bench.Download("image.s19"));
    EXPECT_EQ(bench.host.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(bench.control().frames.size(), c.framesSent);
    EXPECT_EQ(bench.host.statusLines.back(), "OFF-LINE");
    EXPECT_EQ(bench.host.progress.back(), 0);
    EXPECT_EQ(bench.host.inputControlsEnabled.back(), true);
    EXPECT_EQ(bench.host.buttonTexts.back(), "Close");
    EXPECT_FALSE(bench.control().GetPortOpen());
    EXPECT_EQ(Inspect::ImageFile(bench.session), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, DownloadFailure,
    testing::Values(
        FailureCase{"CommunicationError", WithFault("S2:ce"), "A communication error occurred.", 4},
        FailureCase{"CommandError", WithFault("C1:fe"), "A command error occurred.", 3},
        FailureCase{"UnexpectedReply", WithFault("S2#2:bytes=4F4F"),
                    "An internal error occured (code = FSM_s19-28).", 5},
        FailureCase{"LateRecordReply", WithFault("S8:late=7000"), "Error: The transfer has timed-out.", 6},
        FailureCase{"SilentAfterARecord", WithFault("S2:silent"), "Error: The transfer has timed-out.", 4},
        FailureCase{"CommandErrorGivenAsBytes", WithFault("S2:bytes=4645", 1), "A command error occurred.",
                    4},
        FailureCase{"HardwareTwoForAnS19Image", WithFault("99:silent", 2),
                    "Error: The file \"image.s19\" does not support this version of the keyboard hardware.\n\n"
                    "File supports hardware version(s):\t0, 1\nCurrent keyboard hardware version:\t2",
                    2}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(Watchdog, RetriesPingOnceAt57600AndTheNextDownloadStartsAt19200)
{
    KeyboardConfig config;
    config.onlyBaud = 57600;
    SessionBench bench(config);
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    ASSERT_TRUE(bench.Download("image.s19"));
    EXPECT_TRUE(bench.host.messages.empty());
    EXPECT_EQ(bench.control().frameBauds.front(), 19200U);
    EXPECT_EQ(bench.control().frameBauds.back(), 57600U);
    const auto ping57600 = std::find(bench.host.statusLines.begin(), bench.host.statusLines.end(),
                                     "Sending PING...  at  57600 Baudrate ");
    EXPECT_NE(ping57600, bench.host.statusLines.end());
    EXPECT_EQ(bench.keyboard.Flash().BlocksWritten(), 2U);

    bench.control().frameBauds.clear();
    bench.Download("image.s19");
    EXPECT_EQ(bench.control().frameBauds.front(), 19200U);
}

TEST(Watchdog, GivesUpOnASilentKeyboardAfterTwoTimeOuts)
{
    SessionBench bench(WithFault("C0:silent"));
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    const std::uint64_t start = bench.loop.NowMicros();
    bench.host.fileField = "image.s19";
    bench.session.OnDownload();
    ASSERT_TRUE(bench.loop.RunUntil([&] { return !bench.host.messages.empty(); }, start + 60'000'000));
    const std::uint64_t seconds = (bench.loop.NowMicros() - start) / 1'000'000;
    EXPECT_GE(seconds, 13U);
    EXPECT_LE(seconds, 15U);
    EXPECT_EQ(bench.host.messages.front().rfind("Error: Communication could not be established.\n\n", 0), 0U);
    EXPECT_EQ(bench.control().frames.size(), 2U);  // one PING at each speed
    bench.RunToIdle();
    EXPECT_EQ(bench.session.State(), bpStateNONE);
    EXPECT_EQ(Inspect::BaudRetried(bench.session), 0);
}

TEST(Watchdog, ReportsAKeyboardThatSendsNoId)
{
    SessionBench bench(WithFault("T7:silent"));
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    bench.Download("image.s19");
    EXPECT_EQ(bench.host.messages, std::vector<std::string>{"Error: The keyboard failed to return its ID."});
    EXPECT_EQ(bench.control().frames.size(), 4U);  // PING and read-ID, twice
}

TEST(Watchdog, ReportsAStateNoMachineUses)
{
    SessionBench bench;
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    bench.StartUntil("image.s19", bpStateSENT_S2);
    Inspect::SetProtocolState(bench.session, bpStateSEND_CA);
    bench.RunToIdle();
    EXPECT_EQ(bench.host.messages, std::vector<std::string>{"An internal error occured (code = FSM_s19-34-1)."});
}

TEST(Cancel, WhileWaitingForThePongGoesOfflineAtOnceWithoutAMessage)
{
    SessionBench bench(WithFault("C0:silent"));
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    bench.StartUntil("image.s19", bpStateSENT_C0);
    bench.session.OnOK();
    EXPECT_EQ(bench.host.statusLines.back(), "OFF-LINE");
    bench.RunToIdle();
    EXPECT_TRUE(bench.host.messages.empty());
    EXPECT_EQ(bench.control().frames.size(), 1U);  // no end-of-table
    EXPECT_FALSE(bench.control().GetPortOpen());
}

struct CancelCase {
    const char* name;
    ProtocolState cancelIn;
    const char* image;
    std::string message;        // empty: silent
    const char* fault = nullptr;  // what the keyboard does wrong, if anything
};

class Cancel : public testing::TestWithParam<CancelCase> {};

// The cancel's end-of-table goes out while the step for an "OK" that just
// came in is still queued: that step finds the state the cancel left.
TEST(Cancel, BetweenAnOkAndItsStepGoesOfflineWithoutAnInternalError)
{
    for (const char* name : {"image.s19", "image.s20"}) {
        SCOPED_TRACE(name);
        SessionBench bench;
        bench.files.Add("image.s19", kSmallImage);
        bench.files.Add("image.s20", Lines({"#schema 1", "#hardware 1", test::FlashSectorLine(1),
                                            test::WriteBlockLine(0x100, {1}), test::WriteBlockLine(0x110, {2})}));
        bench.Open();
        ASSERT_TRUE(bench.StartUntil(name, bpStateSENT_S2));
        ASSERT_TRUE(bench.loop.RunUntil([&] { return bench.session.State() == bpStateRECEIVE_OK; },
                                        bench.loop.NowMicros() + 10'000'000));
        bench.session.OnOK();
        EXPECT_EQ(bench.session.State(), bpStateSENT_S8);
        ASSERT_TRUE(bench.RunToIdle());
        EXPECT_TRUE(bench.host.messages.empty()) << bench.host.messages.front();
        EXPECT_EQ(bench.host.statusLines.back(), "OFF-LINE");
        EXPECT_FALSE(bench.control().GetPortOpen());
        EXPECT_TRUE(bench.session.WasCancelled());
    }
}

TEST_P(Cancel, SendsTheEndOfTableAfterAPauseAndStopsAtTheNextStep)
{
    const CancelCase& c = GetParam();
    SessionBench bench(c.fault ? WithFault(c.fault) : KeyboardConfig{});
    // The cancel comes while the "#if-hardware" block is still open.
    const std::string s20 = Lines({"#schema 1", "#hardware 1", "#if-hardware 1", test::FlashSectorLine(1),
                                   test::WriteBlockLine(0x100, {1}), test::WriteBlockLine(0x110, {2}), "#endif"});
    bench.files.Add("image.s19", kSmallImage);
    bench.files.Add("image.s20", s20);
    bench.Open();
    ASSERT_TRUE(bench.StartUntil(c.image, c.cancelIn));
    const std::size_t framesBefore = bench.control().frames.size();
    bench.session.OnOK();
    EXPECT_EQ(bench.host.pausesMs.back(), 500U);
    EXPECT_EQ(bench.control().frames.back(), (Bytes{0x53, 0x38, 0x04, 0xFF, 0xFF, 0xFF, 0xFE}));
    bench.RunToIdle();
    EXPECT_EQ(bench.host.messages.empty(), c.message.empty());
    if (!c.message.empty()) {
        EXPECT_EQ(bench.host.messages.front(), c.message);
    }
    EXPECT_EQ(bench.control().frames.size(), framesBefore + 1);
    EXPECT_EQ(bench.host.statusLines.back(), "OFF-LINE");
    EXPECT_FALSE(bench.control().GetPortOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Phases, Cancel,
    testing::Values(CancelCase{"WhileAWriteBlockIsAnswered", bpStateSENT_S2, "image.s19", ""},
                    CancelCase{"WhileTheFlashSectorIsAnswered", bpStateSENT_C1, "image.s19", ""},
                    CancelCase{"InsideAnOpenIfBlockOfAnS20Image", bpStateSENT_S2, "image.s20", ""},
                    // The keyboard answers the end-of-table, not the read-ID: an "OK"
                    // that acknowledges no record command.
                    CancelCase{"WhileTheIdIsAwaited", bpStateSENT_T7, "image.s19",
                               "An internal error occured (code = FSM_s19-22).", "T7:silent"},
                    CancelCase{"WhileTheS20IdIsAwaited", bpStateSENT_T7, "image.s20",
                               "An internal error occured (code = FSM_s20-22).", "T7:silent"}),
    [](const testing::TestParamInfo<CancelCase>& info) { return info.param.name; });

TEST(Cancel, FindingGoOnlineEndsWithTheCodeForZero)
{
    SessionBench bench;
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    bench.host.fileField = "image.s19";
    bench.session.OnDownload();  // GOONLINE, its step queued
    bench.session.OnOK();
    bench.RunToIdle();
    EXPECT_EQ(bench.host.messages, std::vector<std::string>{"An internal error occured (code = FSM_s19-0)."});
}

TEST(S20Download, SendsOnlyTheRecordsForTheKeyboardsVersion)
{
    const std::string image =
        Lines({"// tables", "#schema 1", "#hardware 1, 2", "", test::WriteBlockLine(0x100, {1}), "#if-hardware 2",
               test::WriteBlockLine(0x200, {2}), test::WriteBlockLine(0x210, {3}), "#endif",
               test::WriteBlockLine(0x300, {4}), test::EndOfTableLine()});
    for (const std::uint8_t hardware : {std::uint8_t{1}, std::uint8_t{2}}) {
        KeyboardConfig config;
        config.hardwareVersion = hardware;
        SessionBench bench(config);
        bench.files.Add("Tables.S20", image);
        bench.Open();
        ASSERT_TRUE(bench.Download("Tables.S20"));
        EXPECT_TRUE(bench.host.messages.empty()) << bench.host.messages.front();
        const std::size_t blocks = hardware == 1 ? 2 : 4;
        EXPECT_EQ(bench.keyboard.Flash().BlocksWritten(), blocks);
        EXPECT_EQ(bench.control().frames.size(), 2 + blocks + 1);
        EXPECT_NE(std::find(bench.host.statusLines.begin(), bench.host.statusLines.end(),
                            "Writing Block: " + std::to_string(blocks)),
                  bench.host.statusLines.end());
        EXPECT_EQ(bench.host.progress.back(), 0);
        EXPECT_EQ(bench.host.progress[bench.host.progress.size() - 2], 100);
    }
}

TEST(S20Download, StopsAtTheFaultsOfTheImageWithTheirMessages)
{
    struct Case {
        std::string image;
        std::uint8_t hardware;
        std::string message;
        std::size_t framesSent;
    };
    const std::string block = test::WriteBlockLine(0x100, {1});
    for (const Case& c : {
             Case{Lines({"#schema 1", "#hardware 1, 2"}), 3,
                  "Error: The file \"t.s20\" does not support this version of the keyboard hardware.\n\n"
                  "File supports hardware version(s):\t1, 2\nCurrent keyboard hardware version:\t3",
                  2},
             // Found before the first record is sent: the keyboard has had PING and read-ID only.
             Case{Lines({"#schema 1", "#hardware 1", "#if-hardware 1", block}), 1,
                  "Error: '#if-hardware' directive on line: 3 has no matching '#endif'.", 2},
             Case{Lines({"#schema 1", "#hardware 1", "", "", "S2"}), 1,
                  "Error: Bad length descriptor 13:10 on line 5 of \"t.s20\".", 2},
             Case{Lines({"#schema 1", block}), 1, "Error: Command issued before '#hardware' defined on line: 2.", 2},
         }) {
        KeyboardConfig config;
        config.hardwareVersion = c.hardware;
        SessionBench bench(config);
        bench.files.Add("t.s20", c.image);
        bench.Open();
        ASSERT_TRUE(bench.Download("t.s20"));
        EXPECT_EQ(bench.host.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(bench.control().frames.size(), c.framesSent);
    }
}

TEST(ErrorEnd, KeepsTheControlsDisabledWhenThePortWillNotClose)
{
    SessionBench bench(WithFault("S2:ce"));
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    bench.StartUntil("image.s19", bpStateSENT_S2);
    bench.control().refuseClose = true;
    bench.RunToIdle();
    EXPECT_EQ(bench.host.messages, std::vector<std::string>{"A communication error occurred."});
    EXPECT_EQ(bench.host.statusLines.back(), "** Error **");
    EXPECT_EQ(bench.host.inputControlsEnabled.back(), false);
    EXPECT_EQ(bench.host.buttonTexts.back(), "Cancel");
    EXPECT_TRUE(Inspect::PortOpen(bench.session));
    EXPECT_EQ(bench.session.State(), bpStateNONE);

    bench.session.OnOK();  // button 1 now closes the window
    EXPECT_EQ(bench.host.endCode, 5005);
}

TEST(PortErrors, SelectingAndOpeningThePortHaveTheirMessages)
{
    for (const bool failSelect : {true, false}) {
        SessionBench bench;
        bench.files.Add("image.s19", kSmallImage);
        bench.Open();
        bench.host.comSelection = 15;
        bench.host.fileField = "image.s19";
        bench.session.OnDownload();
        bench.control().refuseSelect = failSelect;
        bench.control().refuseOpen = !failSelect;
        bench.RunToIdle();
        EXPECT_EQ(bench.host.messages,
                  std::vector<std::string>{failSelect ? "Error: An exception was thrown attempting to select COM16."
                                                      : "Error: COM 16 could not be opened."});
        EXPECT_EQ(bench.host.categories,
                  std::vector<ErrorCategory>{failSelect ? ErrorCategory::kNone : ErrorCategory::kInUse});
        EXPECT_EQ(bench.host.inputControlsEnabled.back(), true);
    }
}

// The controls raise the DCB line error only for a device gone: the
// message stays the original's, and its reason says the device was lost.
TEST(PortErrors, ALostDeviceEndsTheDownloadWithTheLossAsItsReason)
{
    SessionBench bench;
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    bench.StartUntil("image.s19", bpStateSENT_S2);
    bench.control().LoseDevice();
    bench.RunToIdle();
    ASSERT_EQ(bench.host.messages.size(), 1U);
    EXPECT_EQ(bench.host.messages[0].rfind("An internal error occured (code = FSM_s19-", 0), 0U) << bench.host.messages[0];
    EXPECT_EQ(bench.host.categories, std::vector<ErrorCategory>{ErrorCategory::kLost});
}

TEST(DownloadChecks, RefuseTheFileBeforeAnySessionStarts)
{
    struct Case {
        std::string typed;
        std::string message;
    };
    for (const Case& c : {
             Case{"", "Error: A download operation can not be peformed until a valid .s19 or .s20 filename has been "
                      "specified."},
             Case{"Image.S19.bak", "Error: The file \"Image.S19.bak\" does not have an .s19 or .s20 extension."},
             Case{"Missing.S19", "Error: The file \"Missing.S19\" could not be found."},
             Case{"Busy.S19", "An error occurred while trying to open \"busy.s19\".\n\nMake sure this file has not "
                              "been opened by another application."},
         }) {
        SessionBench bench;
        bench.files.Fail("Busy.S19", OpenedFile::Status::CannotOpen);
        bench.Open();
        bench.Download(c.typed);
        EXPECT_EQ(bench.host.messages, std::vector<std::string>{c.message});
        EXPECT_TRUE(bench.host.inputControlsEnabled.empty());
        EXPECT_EQ(bench.session.State(), bpStateNONE);
        EXPECT_TRUE(bench.control().frames.empty());
    }
}

TEST(DownloadChecks, ANewDownloadForgetsTheLastError)
{
    SessionBench bench(WithFault("1:ce"));
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    bench.Download("image.s19");
    ASSERT_EQ(bench.host.messages.size(), 1U);
    bench.host.messages.clear();
    bench.keyboard = KeyboardModel(KeyboardConfig{});
    bench.Download("image.s19");
    EXPECT_TRUE(bench.host.messages.empty()) << bench.host.messages.front();
}

struct EndCase {
    const char* name;
    std::function<void(SessionBench&)> breakIt;
    int endCode;
    std::string message;
};

class StartUp : public testing::TestWithParam<EndCase> {};

TEST_P(StartUp, ClosesTheWindowWithItsEndCodeAndMessage)
{
    const EndCase& c = GetParam();
    SessionBench bench;
    c.breakIt(bench);
    bench.session.OnInitSession();
    EXPECT_EQ(bench.host.endCode, c.endCode);
    EXPECT_EQ(bench.host.messages, std::vector<std::string>{c.message});
    EXPECT_FALSE(Inspect::Initialized(bench.session));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, StartUp,
    testing::Values(
        EndCase{"NoEventWindow", [](SessionBench& b) { b.controls.eventReceiverAvailable = false; }, 5001,
                "Error: The application could not create the COM port Event Handler."},
        EndCase{"NoControl", [](SessionBench& b) { b.controls.controlAvailable = false; }, 5002,
                "The application could not create the COM port control."},
        EndCase{"NoTimer", [](SessionBench& b) { b.host.timerAvailable = false; }, 5003,
                "Error: A timer resource could not be allocated."}),
    [](const testing::TestParamInfo<EndCase>& info) { return info.param.name; });

TEST(EndSession, ClosingDuringATransferSendsTheEndOfTableWithoutAMessage)
{
    SessionBench bench;
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    bench.StartUntil("image.s19", bpStateSENT_S2);
    bench.session.EndSession(5005);
    EXPECT_EQ(bench.host.endCode, 5005);
    EXPECT_TRUE(bench.host.messages.empty());
    EXPECT_EQ(bench.control().frames.back(), (Bytes{0x53, 0x38, 0x04, 0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_FALSE(bench.control().GetPortOpen());
    EXPECT_EQ(Inspect::ImageFile(bench.session), nullptr);
    bench.RunToIdle();
    EXPECT_TRUE(bench.host.messages.empty());
}

TEST(EndSession, RefusedSettingsAtDownloadCloseTheWindowAndOtherCodesAreInternal)
{
    SessionBench bench;
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    bench.control().refuseSettings = true;
    bench.Download("image.s19");
    EXPECT_EQ(bench.host.endCode, 5000);
    EXPECT_EQ(bench.host.messages, std::vector<std::string>{"Error: The transfer session could not be initialized."});

    SessionBench other;
    other.Open();
    other.session.EndSession(5004);
    EXPECT_EQ(other.host.messages, std::vector<std::string>{"An internal error occured (code = 5004)."});

    SessionBench idle;
    idle.Open();
    idle.session.OnOK();
    EXPECT_EQ(idle.host.endCode, 5005);
    EXPECT_TRUE(idle.host.messages.empty());
    EXPECT_TRUE(idle.control().frames.empty());
}

TEST(StrayStep, FindingNoSessionIsAnInternalError)
{
    SessionBench bench;
    bench.files.Add("image.s19", kSmallImage);
    bench.Open();
    bench.Download("image.s19");
    bench.session.OnStep();
    EXPECT_EQ(bench.host.messages, std::vector<std::string>{"An internal error occured (code = FSM_s19-0)."});
}

} // namespace
} // namespace tavex
