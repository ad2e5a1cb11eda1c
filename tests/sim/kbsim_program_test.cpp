// tavexdl-kbsim run as a process, spoken to through its pseudo-terminal.

#include "frame_bytes.h"
#include "kbsim_process.h"
#include "pty_client.h"
#include "sim/keyboard_model.h"
#include "flash/simulated_flash.h"
#include "support/scratch_directory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <termios.h>
#include <thread>

namespace tavex {
namespace {

using test::ByteVector;
using test::KbsimProcess;
using test::PtyClient;

constexpr int kStartMs = 5000;     // the device path, or the end of the program
constexpr int kReplyMs = 2000;     // a reply that should come
constexpr int kSilenceMs = 300;    // a reply that should not
// Longer than the half second of quiet after which the keyboard drops an
// unfinished frame.
constexpr auto kQuietLine = std::chrono::milliseconds(700);

const ByteVector kIdentification(bootloader::kIdentification.begin(), bootloader::kIdentification.end());

std::string Slurp(const std::string& path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The program with its device path read.
struct RunningKbsim {
    explicit RunningKbsim(const std::vector<std::string>& arguments) : process(arguments)
    {
        device = process.ReadLine(kStartMs);
    }

    // Stops it and answers its summary.
    std::string StopAndSummarise()
    {
        process.Signal(SIGTERM);
        EXPECT_EQ(process.Wait(kStartMs), 0);
        return process.RestOfOut();
    }

    KbsimProcess process;
    std::string device;
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(KbsimProgram, PrintsTheDeviceFirstAndAnswersPingWithTheIdentification)
{
    RunningKbsim kbsim({});
    ASSERT_EQ(kbsim.device.rfind("/dev/", 0), 0U) << kbsim.device;
    PtyClient host(kbsim.device, B19200);
    host.Write(test::PingFrame());
    EXPECT_EQ(host.Read(18, kReplyMs), kIdentification);
}

// Random bytes from a fixed seed: line noise, or a host speaking another protocol.
ByteVector Noise(std::size_t count)
{
    std::mt19937 random(20240611);
    ByteVector bytes(count);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(random() & 0xFF);
    }
    return bytes;
}

TEST(KbsimProgram, ReadsAFreshFrameOnceTheLineHasBeenQuietAfterNoise)
{
    const ByteVector noise = Noise(5000);
    // What the keyboard answers to the frames it makes out in the noise.
    // The noise ends mid-frame: a PING straight after it would be taken as
    // the rest of that frame.
    KeyboardModel reference{KeyboardConfig{}};
    const ByteVector noiseReplies = reference.Receive(noise, 19200, 0).Bytes();
    ASSERT_NE(reference.Receive(test::PingFrame(), 19200, 0).Bytes(), kIdentification);

    RunningKbsim kbsim({});
    PtyClient host(kbsim.device, B19200);
    host.Write(noise);
    // Once these are in, the simulator has read the noise: the quiet starts here.
    ASSERT_EQ(host.Read(noiseReplies.size(), kReplyMs), noiseReplies);
    std::this_thread::sleep_for(kQuietLine);
    host.Write(test::PingFrame());
    EXPECT_EQ(host.Read(18, kReplyMs), kIdentification);
}

TEST(KbsimProgram, GivesTheHardwareVersionInTheKeyboardId)
{
    RunningKbsim kbsim({"--hardware", "7"});
    PtyClient host(kbsim.device, B19200);
    host.Write(test::ReadIdFrame());
    const ByteVector record = host.Read(bootloader::kKeyboardIdLength, kReplyMs);
    ASSERT_EQ(record.size(), bootloader::kKeyboardIdLength);
    EXPECT_EQ(record[0], 'K');
    EXPECT_EQ(record[1], 'B');
    EXPECT_EQ(record[bootloader::kHardwareVersionIndex], 7);
}

TEST(KbsimProgram, AnswersOnlyAtTheBaudItWasGiven)
{
    RunningKbsim kbsim({"--only-baud", "57600"});
    PtyClient host(kbsim.device, B19200);
    host.Write(test::PingFrame());
    EXPECT_EQ(host.Read(18, kSilenceMs), ByteVector());

    host.SetBaud(B57600);
    host.Write(test::PingFrame());
    EXPECT_EQ(host.Read(18, kReplyMs), kIdentification);

    const std::string summary = kbsim.StopAndSummarise();
    EXPECT_TRUE(Contains(summary, "wrong-baud frames: 1\n")) << summary;
    EXPECT_TRUE(Contains(summary, "frames: C0 1 ")) << summary;
}

TEST(KbsimProgram, TakesARecordExchangeReportsItAndWritesTheFlash)
{
    test::ScratchDirectory scratch;
    const std::string flashFile = scratch.Path() + "/flash.txt";
    RunningKbsim kbsim({"--once", "--flash-out", flashFile, "--fault", "S2#2:ce"});
    PtyClient host(kbsim.device, B19200);
    host.Write(test::Joined({test::PingFrame(), test::ReadIdFrame()}));
    EXPECT_EQ(host.Read(18 + 16, kReplyMs).size(), 34U);
    const std::vector<std::pair<ByteVector, const char*>> exchange = {
        {test::FlashSectorFrame(3), "OK"},
        {test::WriteBlockFrame(0x012345, {0xAA}), "OK"},
        {test::WriteBlockFrame(0x012346, {0xBB}), "CE"},
        {test::WriteBlockFrame(0x012346, {0xBB}), "OK"},
        {test::EndOfTableFrame(), "OK"},
    };
    for (const auto& [frame, reply] : exchange) {
        host.Write(frame);
        EXPECT_EQ(host.Read(2, kReplyMs), test::Text(reply));
    }
    host.Close();
    ASSERT_EQ(kbsim.process.Wait(kStartMs), 0);

    SimulatedFlash expected;
    expected.EraseSector(3);
    expected.WriteBlock(0x012345, ByteVector{0xAA, 0xBB});
    expected.EndTable();
    char digest[40];
    std::snprintf(digest, sizeof digest, "flash digest: 0x%016llx\n",
                  static_cast<unsigned long long>(expected.Digest()));
    const std::string summary = kbsim.process.RestOfOut();
    const std::vector<std::string> lines = {
        "end: session over\n", "frames: C0 1 T7 1 C1 1 S2 3 S8 1 ", "faults applied: 1\n", "bad checksums: 0\n",
        digest, "sectors erased: 1 (3)\n", "blocks written: 2\n", "tables: 1\n"};
    for (const std::string& line : lines) {
        EXPECT_TRUE(Contains(summary, line)) << line << "in\n" << summary;
    }
    const std::string listing = Slurp(flashFile);
    EXPECT_TRUE(Contains(listing, "012340  -- -- -- -- -- AA BB --")) << listing;
}

TEST(KbsimProgram, ServesOneSessionOnlyOnceAHostHasSpoken)
{
    RunningKbsim kbsim({"--once"});
    // A host that looks at the port without a word does not end the session.
    PtyClient probe(kbsim.device, B19200);
    probe.Close();
    EXPECT_EQ(kbsim.process.Wait(kSilenceMs), -1);

    PtyClient host(kbsim.device, B19200);
    host.Write(test::PingFrame());
    EXPECT_EQ(host.Read(18, kReplyMs), kIdentification);
    host.Close();
    EXPECT_EQ(kbsim.process.Wait(kStartMs), 0);
}

TEST(KbsimProgram, StartsEachHostsSessionAfreshButKeepsTheFlash)
{
    RunningKbsim kbsim({"--fault", "1:fe"});
    for (int session = 1; session <= 2; ++session) {
        PtyClient host(kbsim.device, B19200);
        host.Write(test::Joined({test::PingFrame(), test::WriteBlockFrame(0x100 + session, {0x11})}));
        EXPECT_EQ(host.Read(4, kReplyMs), test::Text("FEOK")) << "session " << session;
        host.Close();
        // The next host must not open the device before the simulator has seen this one leave.
        EXPECT_EQ(kbsim.process.ReadErrLine(kStartMs),
                  "tavexdl-kbsim: session " + std::to_string(session) + " over, waiting for the next host");
    }
    const std::string summary = kbsim.StopAndSummarise();
    EXPECT_TRUE(Contains(summary, "end: stopped\n")) << summary;
    EXPECT_TRUE(Contains(summary, "blocks written: 2\n")) << summary;
}

TEST(KbsimProgram, HoldsALateReplyBackAndVanishesHalfWayThroughAnother)
{
    RunningKbsim kbsim({"--fault", "C0:late=400", "--fault", "T7:vanish", "--pace"});
    PtyClient host(kbsim.device, B19200);
    host.Write(test::PingFrame());
    EXPECT_EQ(host.Read(18, 150), ByteVector());
    EXPECT_EQ(host.Read(18, kReplyMs), kIdentification);

    host.Write(test::ReadIdFrame());
    const ByteVector half = host.Read(bootloader::kKeyboardIdLength, kReplyMs);
    EXPECT_EQ(half, ByteVector({'K', 'B', '0', '4', '1', '7', 1, 'V'}));
    EXPECT_EQ(kbsim.process.Wait(kStartMs), 0);
    EXPECT_TRUE(Contains(kbsim.process.RestOfOut(), "end: vanished\n"));
}

TEST(KbsimProgram, DropsAndCountsRepliesAHostFloodingPingsNeverReads)
{
    // Far more replies than the line and the simulator's 4 KiB can hold.
    constexpr int kPings = 10'000;
    ByteVector flood;
    for (int i = 0; i < kPings; ++i) {
        const ByteVector ping = test::PingFrame();
        flood.insert(flood.end(), ping.begin(), ping.end());
    }
    RunningKbsim kbsim({"--once"});
    PtyClient host(kbsim.device, B19200);
    host.Write(flood);
    host.Close();
    ASSERT_EQ(kbsim.process.Wait(kStartMs), 0);

    const std::string summary = kbsim.process.RestOfOut();
    EXPECT_TRUE(Contains(summary, "frames: C0 " + std::to_string(kPings) + " ")) << summary;
    const std::string label = "replies dropped: ";
    const std::size_t at = summary.find(label);
    ASSERT_NE(at, std::string::npos) << summary;
    const unsigned long dropped = std::stoul(summary.substr(at + label.size()));
    EXPECT_GT(dropped, 0U) << summary;
    EXPECT_LT(dropped, static_cast<unsigned long>(kPings)) << summary;
}

TEST(KbsimProgram, StopsOnSigintWithItsSummary)
{
    RunningKbsim kbsim({});
    ASSERT_FALSE(kbsim.device.empty());
    kbsim.process.Signal(SIGINT);
    EXPECT_EQ(kbsim.process.Wait(kStartMs), 0);
    const std::string summary = kbsim.process.RestOfOut();
    EXPECT_TRUE(Contains(summary, "end: stopped\nframes: C0 0 T7 0 C1 0 S2 0 S8 0 unknown 0\n")) << summary;
}

TEST(KbsimProgram, FailsWhenItCannotWriteTheFlashFileAtTheEnd)
{
    test::ScratchDirectory scratch;
    const std::string directory = scratch.Path() + "/out";
    std::filesystem::create_directory(directory);
    const std::string flashFile = directory + "/flash.txt";
    RunningKbsim kbsim({"--flash-out", flashFile});
    ASSERT_FALSE(kbsim.device.empty()) << kbsim.process.Err();
    std::filesystem::remove_all(directory);  // gone while the simulator runs
    kbsim.process.Signal(SIGTERM);
    EXPECT_EQ(kbsim.process.Wait(kStartMs), 1);
    EXPECT_EQ(kbsim.process.Err(), "tavexdl-kbsim: cannot write " + flashFile + "\n");
}

TEST(KbsimProgram, RefusesAFlashFileItCannotWriteBeforeOfferingTheDevice)
{
    test::ScratchDirectory scratch;
    const std::string plainFile = scratch.Write("plain", "not a directory");
    struct Case {
        std::string path;
        int error;
    };
    for (const Case& c : {Case{"/nonexistent-directory/flash.txt", ENOENT}, Case{scratch.Path(), EISDIR},
                          Case{plainFile + "/flash.txt", ENOTDIR}}) {
        KbsimProcess kbsim({"--flash-out", c.path});
        EXPECT_EQ(kbsim.Wait(kStartMs), 1) << c.path;
        EXPECT_EQ(kbsim.RestOfOut(), "") << "no device offered for " << c.path;
        EXPECT_EQ(kbsim.Err(), "tavexdl-kbsim: cannot write " + c.path + ": " + std::strerror(c.error) + "\n");
    }
}

TEST(KbsimProgram, LeavesTheFlashFileAsItFindsItUntilTheEnd)
{
    test::ScratchDirectory scratch;
    struct Case {
        const char* name;
        std::optional<std::string> before;  // what the file holds when the simulator starts, if it exists
    };
    for (const Case& c : {Case{"held.txt", "what an earlier run wrote\n"}, Case{"new.txt", std::nullopt}}) {
        const std::string flashFile = scratch.Path() + "/" + c.name;
        if (c.before) {
            scratch.Write(c.name, *c.before);
        }
        RunningKbsim kbsim({"--flash-out", flashFile});
        ASSERT_FALSE(kbsim.device.empty()) << kbsim.process.Err();
        EXPECT_EQ(std::filesystem::exists(flashFile), c.before.has_value()) << c.name;
        if (c.before) {
            EXPECT_EQ(Slurp(flashFile), *c.before) << "not truncated at the start";
        }
        kbsim.StopAndSummarise();
        EXPECT_EQ(Slurp(flashFile).rfind("digest ", 0), 0U) << c.name << " holds the listing:\n" << Slurp(flashFile);
    }
}

TEST(KbsimProgram, HelpListsEveryOption)
{
    KbsimProcess help({"--help"});
    EXPECT_EQ(help.Wait(kStartMs), 0);
    const std::string usage = help.RestOfOut();
    for (const char* option : {"--hardware V", "--only-baud B", "--wrong-identification", "--id-without-kb",
                               "--fault WHERE:WHAT", "--processing-ms MS", "--pace", "--once", "--flash-out FILE",
                               "--help", "KIND#N", "late=MS", "bytes=HEX", "vanish", "silent"}) {
        EXPECT_TRUE(Contains(usage, option)) << option;
    }
    EXPECT_EQ(help.Err(), "");
}

TEST(KbsimProgram, RefusesABadCommandLineWithItsUsage)
{
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    for (const Case& c : {Case{{"--bogus"}, "unknown option '--bogus'"},
                          Case{{"--hardware", "256"}, "--hardware takes a version from 0 to 255"},
                          Case{{"--hardware"}, "--hardware needs a value"},
                          Case{{"--only-baud", "0"}, "--only-baud takes a line speed"},
                          Case{{"--only-baud", "56000"}, "--only-baud takes a line speed"},
                          Case{{"--processing-ms", "x"}, "--processing-ms takes milliseconds"},
                          Case{{"--fault", "S9:ce"}, "--fault S9:ce: "},
                          Case{{"--fault", "S2:boom"}, "--fault S2:boom: unknown fault 'boom'"},
                          Case{{"--fault", "S2:bytes="}, "--fault S2:bytes=: bytes=HEX needs at least one byte"},
                          Case{{"--pace", "extra"}, "unknown option 'extra'"}}) {
        KbsimProcess kbsim(c.arguments);
        EXPECT_EQ(kbsim.Wait(kStartMs), 2) << c.message;
        EXPECT_EQ(kbsim.RestOfOut(), "") << c.message;
        const std::string err = kbsim.Err();
        EXPECT_TRUE(Contains(err, std::string("tavexdl-kbsim: ") + c.message)) << err;
        EXPECT_TRUE(Contains(err, "usage: tavexdl-kbsim")) << c.message;
    }
}

} // namespace
} // namespace tavex
