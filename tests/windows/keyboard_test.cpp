// The Win32 control on COM1 with the keyboard simulator behind it (run by
// with_keyboard.sh; see CMakeLists.txt for each suite's simulator).

#include "message_pump.h"
#include "protocol/bootloader_frames.h"
#include "serial/win32/win32_comm_control.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tavex {
namespace {

using namespace std::chrono_literals;
using test::PumpMessagesFor;
using test::PumpMessagesUntil;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

const Bytes kPing = {bootloader::kPing[0], bootloader::kPing[1], 0x01, 0xFE};
const Bytes kIdentification(bootloader::kIdentification.begin(), bootloader::kIdentification.end());

struct KeyboardFixture : testing::Test {
    KeyboardFixture()
    {
        control.SetCommPort(1);
        control.SetSettings("19200,N,8,1");
        control.SetHandshaking(2);
        control.SetRTSEnable(true);
        control.SetDTREnable(true);
        control.SetInputMode(1);
        control.SetOnComm([this] {
            events.push_back(control.GetCommEvent());
            handlerThreads.push_back(GetCurrentThreadId());
        });
    }

    // Sends a frame and collects the reply until `length` bytes have come or
    // the time is up.
    Bytes Exchange(const Bytes& frame, std::size_t length, std::chrono::milliseconds limit = 2s)
    {
        control.SetRThreshold(static_cast<std::int16_t>(length));
        control.SetOutput(frame);
        PumpMessagesUntil([&] { return !events.empty(); }, limit);
        return control.GetInput();
    }

    Win32CommControl control;
    std::vector<std::int16_t> events;
    std::vector<DWORD> handlerThreads;
};

using KeyboardLink = KeyboardFixture;

TEST_F(KeyboardLink, APingIsAnsweredThroughOnCommOnTheOwningThread)
{
    control.SetPortOpen(true);
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
    EXPECT_EQ(events, std::vector<std::int16_t>{comm_event::kReceive});
    EXPECT_EQ(handlerThreads, std::vector<DWORD>{GetCurrentThreadId()});
}

struct FrameCase {
    const char* name;
    Bytes frame;
    std::string reply;
};

TEST_F(KeyboardLink, AnswersAMalformedFrameWithItsComplaint)
{
    const FrameCase cases[] = {
        {"bad checksum", {'C', '0', 0x01, 0x00}, "CE"},
        {"unknown command", {'Z', '9', 0x01, 0xFE}, "FE"},
    };
    control.SetPortOpen(true);
    for (const FrameCase& frame : cases) {
        SCOPED_TRACE(frame.name);
        events.clear();
        const Bytes reply = Exchange(frame.frame, 2);
        EXPECT_EQ(std::string(reply.begin(), reply.end()), frame.reply);
    }
}

// A reply that came while no message was handled waits in the driver or
// with the reader thread, not in the control: InBufferCount 0 drops it there
// too, or it would run into the next reply.
TEST_F(KeyboardLink, InBufferCountZeroDropsAReplyNotYetHandedOver)
{
    EXPECT_THROW(control.SetInBufferCount(0), CommControlError);  // closed
    control.SetPortOpen(true);
    control.SetOutput(kPing);
    Sleep(300);  // the identification arrives; no message is handled meanwhile
    EXPECT_THROW(control.SetInBufferCount(1), CommControlError);
    control.SetInBufferCount(0);
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
    PumpMessagesFor(300ms);  // a reply left behind would come after it
    EXPECT_EQ(control.GetInput(), Bytes{});
    EXPECT_EQ(events, std::vector<std::int16_t>{comm_event::kReceive});
}

TEST_F(KeyboardLink, InputLenAndRThresholdShapeWhatArrives)
{
    control.SetInputLen(5);
    control.SetPortOpen(true);
    control.SetRThreshold(static_cast<std::int16_t>(kIdentification.size()));
    control.SetOutput(kPing);
    ASSERT_TRUE(PumpMessagesUntil([&] { return !events.empty(); }));
    Bytes taken;
    for (Bytes piece = control.GetInput(); !piece.empty(); piece = control.GetInput()) {
        EXPECT_LE(piece.size(), 5U);
        taken.insert(taken.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(taken, kIdentification);
    PumpMessagesFor(100ms);
    EXPECT_EQ(events.size(), 1U) << "a receive notification for bytes already taken";
}

TEST_F(KeyboardLink, RefusesToChangeThePortOrItsBuffersWhileOpen)
{
    control.SetPortOpen(true);
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"CommPort", [&] { control.SetCommPort(2); }},
        {"InBufferSize", [&] { control.SetInBufferSize(2048); }},
        {"OutBufferSize", [&] { control.SetOutBufferSize(1024); }},
        {"device path", [&] { control.SetDevicePath("COM2"); }},
        {"opening again", [&] { control.SetPortOpen(true); }},
    };
    for (const auto& [name, run] : cases) {
        SCOPED_TRACE(name);
        EXPECT_THROW(run(), CommControlError);
    }
    EXPECT_TRUE(control.GetPortOpen());
}

// The simulator's pseudo-terminal has no modem lines; RTS under RTS/CTS
// handshaking is the driver's. Neither may fail a write nor the open.
TEST_F(KeyboardLink, AcceptsModemLineWritesTheDeviceCannotCarryOut)
{
    for (const std::int32_t handshaking : {0, 1, 2, 3}) {
        SCOPED_TRACE(handshaking);
        events.clear();
        control.SetHandshaking(handshaking);
        ASSERT_NO_THROW(control.SetPortOpen(true));
        EXPECT_NO_THROW(control.SetRTSEnable(false));
        EXPECT_NO_THROW(control.SetRTSEnable(true));
        EXPECT_NO_THROW(control.SetDTREnable(false));
        EXPECT_NO_THROW(control.SetHandshaking(handshaking == 2 ? 0 : 2));
        EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
        control.SetPortOpen(false);
    }
}

TEST_F(KeyboardLink, ASecondOpenOfThePortIsRefusedAsInUse)
{
    control.SetPortOpen(true);
    Win32CommControl second;
    second.SetCommPort(1);
    try {
        second.SetPortOpen(true);
        FAIL() << "the port opened twice";
    } catch (const CommControlError& error) {
        EXPECT_EQ(std::string(error.what()), R"(\\.\COM1: in use by another program)");
    }
    EXPECT_FALSE(second.GetPortOpen());
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);

    control.SetPortOpen(false);
    EXPECT_NO_THROW(second.SetPortOpen(true));
}

// Run by the test below as another program: exits 0 when it opened COM1,
// 3 when it was refused as in use, 4 when it was refused otherwise.
TEST(KeyboardOtherProgram, DISABLED_OpensCom1)
{
    Win32CommControl control;
    control.SetCommPort(1);
    try {
        control.SetPortOpen(true);
    } catch (const CommControlError& error) {
        std::exit(std::string(error.what()).find("in use") != std::string::npos ? 3 : 4);
    }
    control.SetPortOpen(false);
    std::exit(0);
}

// The exit code of this test program run as another program on COM1.
DWORD RunOtherProgram()
{
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    std::wstring command =
        L"\"" + path + L"\" --gtest_filter=KeyboardOtherProgram.DISABLED_OpensCom1 --gtest_also_run_disabled_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "the other program did not start: " << SystemErrorText(GetLastError());
        return MAXDWORD;
    }
    DWORD exitCode = MAXDWORD;
    if (WaitForSingleObject(process.hProcess, 30'000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        TerminateProcess(process.hProcess, 1);
        ADD_FAILURE() << "the other program did not end";
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

TEST_F(KeyboardLink, AnotherProgramCannotOpenThePortUntilItCloses)
{
    control.SetPortOpen(true);
    EXPECT_EQ(RunOtherProgram(), 3U);
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
    control.SetPortOpen(false);
    EXPECT_EQ(RunOtherProgram(), 0U);
}

TEST_F(KeyboardLink, SThresholdNotifiesOnceTheOutputHasGone)
{
    control.SetSThreshold(1);
    control.SetPortOpen(true);
    control.SetOutput({0x00});
    EXPECT_TRUE(events.empty()) << "notified inside the write";
    // The write completes on the system's time, which a busy machine stretches.
    EXPECT_TRUE(PumpMessagesUntil([&] { return !events.empty(); }, 3s));
    PumpMessagesFor(100ms);
    EXPECT_EQ(events, std::vector<std::int16_t>{comm_event::kSend});

    control.SetSThreshold(0);
    control.SetOutput({0x00});
    PumpMessagesFor(100ms);
    EXPECT_EQ(events.size(), 1U);
}

// The pseudo-terminal takes bytes at once and reports its queue empty, as a
// USB adapter's driver does while the adapter still sends: the wire time is
// what the close has to go by, at most a second of it.
TEST_F(KeyboardLink, CloseWaitsForTheWireTimeButNoLongerThanItsBound)
{
    struct CloseCase {
        const char* settings;
        std::size_t bytes;
        std::chrono::milliseconds atLeast;
        std::chrono::milliseconds below;
    };
    const CloseCase cases[] = {
        {"19200,N,8,1", 480, 250ms, 3s},   // 250 ms on the wire
        {"300,N,8,1", 200, 1000ms, 3s},    // 6.7 s on the wire: the close gives up after 1 s
    };
    for (const CloseCase& close : cases) {
        SCOPED_TRACE(close.settings);
        control.SetHandshaking(0);
        control.SetSettings(close.settings);
        control.SetPortOpen(true);
        const Clock::time_point written = Clock::now();
        control.SetOutput(Bytes(close.bytes, 0x00));
        control.SetPortOpen(false);
        const Clock::duration took = Clock::now() - written;
        EXPECT_GE(took, close.atLeast);
        EXPECT_LT(took, close.below);
        EXPECT_FALSE(control.GetPortOpen());
    }
}

// The simulator answers every PING with "a", NUL, "b", Ctrl-Z.
using KeyboardBytes = KeyboardFixture;

TEST_F(KeyboardBytes, NullDiscardAndEndOfFileActOnArrivingBytes)
{
    struct FilterCase {
        const char* name;
        bool nullDiscard;
        bool eofEnable;
        Bytes input;
        std::vector<std::int16_t> events;
    };
    const FilterCase cases[] = {
        {"bytes as sent", false, false, {'a', 0x00, 'b', 0x1A}, {comm_event::kReceive}},
        {"nulls dropped", true, false, {'a', 'b', 0x1A}, {comm_event::kReceive}},
        {"end of file notified", false, true, {'a', 0x00, 'b', 0x1A}, {comm_event::kEof, comm_event::kReceive}},
    };
    for (const FilterCase& filter : cases) {
        SCOPED_TRACE(filter.name);
        events.clear();
        control.SetNullDiscard(filter.nullDiscard);
        control.SetEOFEnable(filter.eofEnable);
        control.SetRThreshold(3);
        control.SetPortOpen(true);
        control.SetOutput(kPing);
        PumpMessagesUntil([&] { return events.size() >= filter.events.size(); });
        PumpMessagesFor(100ms);
        EXPECT_EQ(events, filter.events);
        EXPECT_EQ(control.GetInput(), filter.input);
        control.SetPortOpen(false);
    }
}

// The simulator answers only at 57600 baud.
using KeyboardSpeed = KeyboardFixture;

TEST_F(KeyboardSpeed, TheLineSpeedReachesTheDeviceWhetherSetBeforeOrAfterTheOpen)
{
    control.SetPortOpen(true);
    EXPECT_TRUE(Exchange(kPing, kIdentification.size(), 700ms).empty()) << "answered at 19200";
    EXPECT_TRUE(events.empty());

    control.SetSettings("57600,N,8,1");
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
    control.SetPortOpen(false);

    events.clear();
    control.SetSettings("19200,N,8,1");
    control.SetPortOpen(true);
    EXPECT_TRUE(Exchange(kPing, kIdentification.size(), 700ms).empty()) << "answered at 19200";
    control.SetPortOpen(false);

    events.clear();
    control.SetSettings("57600,N,8,1");
    control.SetPortOpen(true);
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
}

// The simulator sends half its first reply and is gone.
using KeyboardLoss = KeyboardFixture;

TEST_F(KeyboardLoss, ALostDeviceClosesThePortWithOneDcbNotification)
{
    control.SetRThreshold(static_cast<std::int16_t>(kIdentification.size()));
    control.SetPortOpen(true);
    control.SetOutput(kPing);
    EXPECT_TRUE(PumpMessagesUntil([&] { return !events.empty(); }, 3s));
    PumpMessagesFor(300ms);

    EXPECT_EQ(events, std::vector<std::int16_t>{comm_event::kDcb});
    EXPECT_EQ(handlerThreads, std::vector<DWORD>{GetCurrentThreadId()});
    EXPECT_FALSE(control.GetPortOpen());
    EXPECT_THROW(control.GetInput(), CommControlError);
    EXPECT_THROW(control.SetOutput(kPing), CommControlError);
}

} // namespace
} // namespace tavex
