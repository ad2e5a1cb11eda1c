// Several keyboards at once: tavexdl-cli download with more than one device,
// against as many tavexdl-kbsim processes.

#include "download_rig.h"
#include "kbsim_process.h"
#include "support/child_process.h"
#include "support/scratch_directory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavex {
namespace {

using test::ChildProcess;
using test::KbsimProcess;
using test::Slurp;

struct Keyboards {
    // One simulator per entry, with those options: Keyboards keyboards{{}, {"--hardware", "1"}}.
    // List-initialisation picks this constructor alone; from parentheses a
    // list of one entry would fit the deleted copy constructor as well.
    explicit Keyboards(std::initializer_list<std::vector<std::string>> options)
    {
        for (const std::vector<std::string>& each : options) {
            simulators.push_back(std::make_unique<KbsimProcess>(each));
            devices.push_back(simulators.back()->ReadLine(5000));
        }
        image = scratch.Write("image.s19", Slurp(std::string(TAVEX_EXAMPLES) + "/keyboard-small.s19"));
    }

    std::vector<std::string> Arguments(std::vector<std::string> extra = {}) const
    {
        std::vector<std::string> arguments = {"download", image};
        for (const std::string& device : devices) {
            arguments.insert(arguments.end(), {"--device", device});
        }
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return arguments;
    }

    std::string Summary(std::size_t which)
    {
        simulators[which]->Signal(SIGTERM);
        simulators[which]->Wait(5000);
        return simulators[which]->RestOfOut();
    }

    test::ScratchDirectory scratch;
    std::vector<std::unique_ptr<KbsimProcess>> simulators;
    std::vector<std::string> devices;
    std::string image;
};

struct Finished {
    int exitCode;
    std::string out;
    std::string err;
};

Finished RunCli(const std::vector<std::string>& arguments)
{
    ChildProcess cli(TAVEXDL_CLI, arguments);
    const int exitCode = cli.Wait(60000);
    return {exitCode, cli.RestOfOut(), cli.Err()};
}

// The summary row of a device: its result and its time in seconds.
std::pair<std::string, double> SummaryRow(const std::string& out, const std::string& device)
{
    std::smatch match;
    const std::regex row(device + R"(\s+(ok|failed|cancelled)\s+([0-9.]+)s)");
    if (!std::regex_search(out, match, row)) {
        return {"missing", 0};
    }
    return {match[1], std::stod(match[2])};
}

TEST(ParallelDownload, WritesFourKeyboardsAtOnce)
{
    Keyboards keyboards{{}, {}, {}, {}};
    const Finished run = RunCli(keyboards.Arguments());
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(SummaryRow(run.out, keyboards.devices[i]).first, "ok") << run.out;
        EXPECT_NE(keyboards.Summary(i).find("blocks written: 7"), std::string::npos);
    }
}

// However long a device's name, its summary row keeps the result and the
// time; the columns after it move along.
TEST(ParallelDownload, ADeviceNameOfAnyLengthKeepsItsSummaryRow)
{
    Keyboards keyboards{{}, {}};
    std::string folder = keyboards.scratch.Path();
    for (int depth = 0; depth < 3; ++depth) {
        folder += "/" + std::string(200, 'd');
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    }
    const std::string longName = folder + "/keyboard";
    ASSERT_EQ(::symlink(keyboards.devices[1].c_str(), longName.c_str()), 0);
    const Finished run =
        RunCli({"download", keyboards.image, "--device", keyboards.devices[0], "--device", longName});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(SummaryRow(run.out, keyboards.devices[0]).first, "ok") << run.out;
    EXPECT_EQ(SummaryRow(run.out, longName).first, "ok") << run.out;
    EXPECT_NE(keyboards.Summary(1).find("blocks written: 7"), std::string::npos);
}

TEST(ParallelDownload, OneFailingKeyboardDoesNotStopTheOthers)
{
    Keyboards keyboards{{}, {"--fault", "S2#2:fe"}, {}, {}};
    const Finished run = RunCli(keyboards.Arguments({"--json"}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("{\"device\":\"" + keyboards.devices[1] +
                           "\",\"event\":\"message\",\"text\":\"A command error occurred.\"}"),
              std::string::npos)
        << run.out;
    for (std::size_t i : {0U, 2U, 3U}) {
        EXPECT_NE(run.out.find("{\"device\":\"" + keyboards.devices[i] + "\",\"event\":\"end\",\"ok\":true,\"result\":\"ok\","),
                  std::string::npos);
        EXPECT_NE(keyboards.Summary(i).find("blocks written: 7"), std::string::npos);
    }
    EXPECT_NE(keyboards.Summary(1).find("blocks written: 1"), std::string::npos);
}

// Where the first event of `device` that begins with `start` (after the
// device) stands among the JSON lines of `out`; -1 when none does.
std::ptrdiff_t EventIndex(const std::string& out, const std::string& device, const std::string& start)
{
    const std::string line = "{\"device\":\"" + device + "\"," + start;
    std::istringstream in(out);
    std::ptrdiff_t index = 0;
    for (std::string each; std::getline(in, each); ++index) {
        if (each.rfind(line, 0) == 0) {
            return index;
        }
    }
    return -1;
}

// The silent keyboard waits out its reply time at both speeds; the others,
// run beside it, are done before it even gives up on the first speed.
TEST(ParallelDownload, ASilentKeyboardDoesNotSlowTheOthers)
{
    Keyboards keyboards{{}, {"--fault", "C0:silent"}, {}};
    const Finished run = RunCli(keyboards.Arguments({"--json"}));  // a hang ends after 60 s
    EXPECT_EQ(run.exitCode, 1) << run.err;

    const std::string& silent = keyboards.devices[1];
    const auto at = [&](const std::string& start) { return EventIndex(run.out, silent, start); };
    const std::ptrdiff_t first = at(R"("event":"status","text":"Sending PING...  at 19200 Baudrate "})");
    const std::ptrdiff_t second = at(R"("event":"status","text":"Sending PING...  at  57600 Baudrate "})");
    const std::ptrdiff_t message = at(R"("event":"message","text":"Error: Communication could not be established.)");
    const std::ptrdiff_t end = at(R"("event":"end","ok":false,"result":"failed","reason":null,"blocks":0,)");
    EXPECT_GE(first, 0) << run.out;
    EXPECT_GT(second, first) << run.out;
    EXPECT_GT(message, second) << run.out;
    EXPECT_GT(end, message) << run.out;
    EXPECT_NE(keyboards.Summary(1).find("blocks written: 0\n"), std::string::npos);

    const SimulatedFlash flash = test::ExpectedFlash(keyboards.image, FileKind::S19, 1);
    for (std::size_t i : {0U, 2U}) {
        SCOPED_TRACE(keyboards.devices[i]);
        const std::ptrdiff_t good =
            EventIndex(run.out, keyboards.devices[i], R"("event":"end","ok":true,"result":"ok","reason":null,"blocks":7,)");
        EXPECT_GE(good, 0) << run.out;
        EXPECT_LT(good, second) << "held up by the silent keyboard:\n" << run.out;
        const std::string summary = keyboards.Summary(i);
        EXPECT_NE(summary.find("blocks written: 7\n"), std::string::npos) << summary;
        EXPECT_NE(summary.find(test::DigestLine(flash)), std::string::npos) << summary;
    }
}

// The opens of one file, as the system sees them.
class OpenCounter {
public:
    explicit OpenCounter(const std::string& path) : inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        EXPECT_GE(::inotify_add_watch(inotify_, path.c_str(), IN_OPEN), 0) << path;
    }
    ~OpenCounter() { ::close(inotify_); }
    OpenCounter(const OpenCounter&) = delete;
    OpenCounter& operator=(const OpenCounter&) = delete;

    int OpensSoFar()
    {
        alignas(inotify_event) char events[4096];
        for (ssize_t length = 0; (length = ::read(inotify_, events, sizeof events)) > 0;) {
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                opens_ += (event->mask & IN_OPEN) != 0 ? 1 : 0;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return opens_;
    }

private:
    int inotify_;
    int opens_ = 0;
};

// Waiting never opens the device: on a real port each close drops DTR, a
// pulse that resets some keyboards. The session's open is the only one.
TEST(WaitForDevice, StartsOnceTheDeviceAppearsAndReportsOneThatNeverDoes)
{
    Keyboards keyboards{{}};
    OpenCounter opens(keyboards.devices[0]);
    const std::string late = keyboards.scratch.Path() + "/late-port";
    ChildProcess cli(TAVEXDL_CLI, {"download", keyboards.image, "--device", late, "--wait", "10", "--json"});
    EXPECT_EQ(cli.ReadLine(10000), "{\"event\":\"waiting\",\"seconds\":10}") << cli.Err();
    ASSERT_EQ(::symlink(keyboards.devices[0].c_str(), late.c_str()), 0);
    EXPECT_EQ(cli.Wait(30000), 0) << cli.RestOfOut() << cli.Err();
    EXPECT_NE(keyboards.Summary(0).find("blocks written: 7"), std::string::npos);
    EXPECT_EQ(opens.OpensSoFar(), 1);

    const std::string never = keyboards.scratch.Path() + "/never";
    const Finished missing = RunCli({"download", keyboards.image, "--device", never, "--wait", "1", "--json"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.out.find("{\"event\":\"message\",\"text\":\"Error: The device \\\"" + never +
                               "\\\" did not appear within 1 seconds.\",\"reason\":\"not-found\"}"),
              std::string::npos)
        << missing.out;
}

// A device another program holds by a live lock file is waited for, and
// never opened meanwhile.
TEST(WaitForDevice, WaitsWhileALiveLockFileHoldsTheDevice)
{
    Keyboards keyboards{{}};
    const std::string& device = keyboards.devices[0];
    std::string lock = "/run/lock/LCK.." + device.substr(5);
    std::replace(lock.begin() + 10, lock.end(), '/', '_');
    {
        std::ofstream held(lock);
        held << "     " << ::getpid() << "\n";  // this test runs: the holder lives
        if (!held) {
            GTEST_SKIP() << "no lock folder this user may write";
        }
    }
    OpenCounter opens(device);
    const Finished busy = RunCli({"download", keyboards.image, "--device", device, "--wait", "1", "--json"});
    ::unlink(lock.c_str());
    EXPECT_EQ(busy.exitCode, 1);
    EXPECT_NE(busy.out.find("Error: The device \\\"" + device + "\\\" did not become free within 1 seconds."),
              std::string::npos)
        << busy.out;
    EXPECT_EQ(opens.OpensSoFar(), 0);
    EXPECT_NE(keyboards.Summary(0).find("frames: C0 0"), std::string::npos);
}

TEST(StationLoop, FlashesOneKeyboardAfterAnotherAndLogsEach)
{
    Keyboards keyboards{{"--hardware", "0"}, {"--hardware", "1"}};
    const std::string station = keyboards.scratch.Path() + "/station";
    const std::string log = keyboards.scratch.Path() + "/downloads.csv";
    ASSERT_EQ(::symlink(keyboards.devices[0].c_str(), station.c_str()), 0);
    ChildProcess cli(TAVEXDL_CLI, {"download", keyboards.image, "--device", station, "--loop", "--log", log});
    std::string line;
    for (line = cli.ReadLine(10000); !line.empty() && line.find("good 1") == std::string::npos;) {
        line = cli.ReadLine(10000);
    }
    ASSERT_NE(line, "") << cli.Err();
    // The first keyboard is unplugged and the next one plugged in.
    ::unlink(station.c_str());
    ::usleep(400'000);  // as long as a re-plug takes: the station looks every 50 ms
    ASSERT_EQ(::symlink(keyboards.devices[1].c_str(), station.c_str()), 0);
    for (line = cli.ReadLine(10000); !line.empty() && line.find("good 2") == std::string::npos;) {
        line = cli.ReadLine(10000);
    }
    ASSERT_NE(line, "") << cli.Err();
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(10000), 0) << cli.Err();

    const std::regex entry(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d,"[^"]*station","[^"]*image\.s19",(\d),ok,"",[0-9a-f]{64},7,\d+,[0-9.]+\n)");
    const std::string written = Slurp(log);
    std::vector<std::string> hardware;
    for (std::sregex_iterator it(written.begin(), written.end(), entry), end; it != end; ++it) {
        hardware.push_back((*it)[1]);
    }
    EXPECT_EQ(hardware, (std::vector<std::string>{"0", "1"})) << written;
    EXPECT_NE(keyboards.Summary(0).find("blocks written: 7"), std::string::npos);
    EXPECT_NE(keyboards.Summary(1).find("blocks written: 7"), std::string::npos);
}

// Reads lines until one holds `text`; the line, or empty when the output
// ended or stayed silent for `timeoutMs`.
std::string ReadUntil(ChildProcess& cli, const std::string& text, int timeoutMs = 10000)
{
    for (std::string line = cli.ReadLine(timeoutMs); !line.empty(); line = cli.ReadLine(timeoutMs)) {
        if (line.find(text) != std::string::npos) {
            return line;
        }
    }
    return {};
}

TEST(StationLoop, StartsAgainOnEnterOnlyOnceItSaysItWaitsForTheNextKeyboard)
{
    Keyboards keyboards{{"--hardware", "1", "--processing-ms", "100"}};
    ChildProcess cli(TAVEXDL_CLI, {"download", keyboards.image, "--device", keyboards.devices[0], "--loop"});
    ASSERT_NE(ReadUntil(cli, "Writing Block: 1"), "") << cli.Err();
    cli.WriteInput("\n");  // typed during the download: not for the next keyboard
    ASSERT_NE(ReadUntil(cli, "good 1"), "") << cli.Err();
    ASSERT_NE(ReadUntil(cli, "Waiting for the next keyboard"), "") << cli.Err();
    EXPECT_EQ(cli.ReadLine(1500), "") << "started again without an Enter";

    cli.WriteInput("\n");  // the operator has put the next keyboard on the cable
    ASSERT_NE(ReadUntil(cli, "good 2"), "") << cli.Err();
    ASSERT_NE(ReadUntil(cli, "Waiting for the next keyboard"), "") << cli.Err();
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(10000), 0) << cli.Err();
    const std::string summary = keyboards.Summary(0);
    EXPECT_NE(summary.find("blocks written: 14\n"), std::string::npos) << summary;
}

// Reads lines until every device has shown `status`; false when the output ended first.
bool UntilEachShows(ChildProcess& cli, const std::vector<std::string>& devices, const std::string& status)
{
    std::set<std::string> waiting(devices.begin(), devices.end());
    for (std::string line = cli.ReadLine(10000); !line.empty(); line = cli.ReadLine(10000)) {
        for (const std::string& device : devices) {
            if (line.find(device) != std::string::npos && line.find(status) != std::string::npos) {
                waiting.erase(device);
            }
        }
        if (waiting.empty()) {
            return true;
        }
    }
    return false;
}

TEST(Cancelled, DownloadsToSeveralKeyboardsAreReportedAsCancelledNeverAsGood)
{
    Keyboards keyboards{{"--processing-ms", "300"}, {"--processing-ms", "300"}};
    ChildProcess cli(TAVEXDL_CLI, keyboards.Arguments({"--json"}));
    ASSERT_TRUE(UntilEachShows(cli, keyboards.devices, "Writing Block: 2")) << cli.Err();
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(30000), 130) << cli.Err();
    const std::string out = cli.RestOfOut();
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_NE(out.find("{\"device\":\"" + keyboards.devices[i] +
                           "\",\"event\":\"end\",\"ok\":false,\"result\":\"cancelled\","),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find("\"good\":0,\"failed\":0,\"cancelled\":1}"), std::string::npos) << out;
        EXPECT_EQ(keyboards.Summary(i).find("blocks written: 7"), std::string::npos);
    }
}

TEST(Cancelled, TheStationLoopLogsACancelledKeyboardAndEndsWith130)
{
    Keyboards keyboards{{"--processing-ms", "300"}};
    const std::string log = keyboards.scratch.Path() + "/downloads.csv";
    ChildProcess cli(TAVEXDL_CLI, {"download", keyboards.image, "--device", keyboards.devices[0], "--loop", "--log", log});
    ASSERT_TRUE(UntilEachShows(cli, keyboards.devices, "Writing Block: 2")) << cli.Err();
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(30000), 130) << cli.Err();
    const std::string out = cli.RestOfOut();
    EXPECT_TRUE(std::regex_search(out, std::regex(keyboards.devices[0] + R"(\s+cancelled\s+[0-9.]+s  Cancelled ")")))
        << out;
    EXPECT_TRUE(std::regex_match(Slurp(log), std::regex(R"(time,[^\n]+\n\S+,"[^"]+","[^"]+",1,cancelled,"",[0-9a-f]{64},\d+,\d+,[0-9.]+\n)")))
        << Slurp(log);
}

} // namespace
} // namespace tavex
