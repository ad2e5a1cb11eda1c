// tavexdl-cli download --trace names the device on every line, so that the
// frames of several keyboards, mixed on stderr, can be told apart, and stamps
// each line in microseconds, in the order the device's lines happened.

#include "download_rig.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <sstream>

namespace tavex {
namespace {

using test::ChildProcess;
using test::DownloadRig;

// The trace lines of each device, in order; lines that name no device under "".
std::map<std::string, std::string> LinesByDevice(const std::string& err, const std::vector<std::string>& devices)
{
    std::map<std::string, std::string> lines;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);) {
        std::string owner;
        for (const std::string& device : devices) {
            if (line.rfind(device + ": ", 0) == 0) {
                owner = device;
            }
        }
        lines[owner] += line.substr(owner.empty() ? 0 : owner.size() + 2) + "\n";
    }
    return lines;
}

// Where the lines of one device break the form "<microseconds> us <what> ..."
// or its time stamps go back; empty when none does.
std::string FaultOfStamps(const std::string& trace)
{
    static const std::regex form(R"( *([0-9]+) us (open|close|sent|received)( .*)?)");
    std::istringstream in(trace);
    long long before = -1;
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (!std::regex_match(line, match, form)) {
            return "not a stamped line: " + line;
        }
        const long long stamp = std::stoll(match[1]);
        if (stamp < before) {
            return "the stamp goes back: " + line;
        }
        before = stamp;
    }
    return {};
}

class TraceOfKeyboards : public testing::TestWithParam<std::size_t> {};

TEST_P(TraceOfKeyboards, NamesTheDeviceOnEveryLine)
{
    std::vector<std::unique_ptr<DownloadRig>> rigs;
    std::vector<std::string> devices;
    std::vector<std::string> arguments = {"download", "", "--json", "--trace"};
    for (std::size_t i = 0; i < GetParam(); ++i) {
        rigs.push_back(std::make_unique<DownloadRig>(std::vector<std::string>{"--hardware", "0"}));
        devices.push_back(rigs.back()->device);
        arguments.insert(arguments.end(), {"--device", devices.back()});
    }
    arguments[1] = rigs.front()->Sample("keyboard-small.s19");
    ChildProcess cli(TAVEXDL_CLI, arguments);
    ASSERT_EQ(cli.Wait(30000), 0) << cli.Err();

    const std::map<std::string, std::string> lines = LinesByDevice(cli.Err(), devices);
    EXPECT_EQ(lines.count(""), 0U) << "a line names no device:\n" << lines.at("");
    for (const std::string& device : devices) {
        ASSERT_EQ(lines.count(device), 1U) << device << " has no trace";
        const std::string& trace = lines.at(device);
        for (const char* traced : {" sent     43 30 01 FE\n", " received 4F 4B\n", " sent     53 38 04 FF FF FF FE\n"}) {
            EXPECT_NE(trace.find(traced), std::string::npos) << traced << " of " << device << " in\n" << trace;
        }
        EXPECT_EQ(FaultOfStamps(trace), "") << device << " in\n" << trace;
    }
}

INSTANTIATE_TEST_SUITE_P(Keyboards, TraceOfKeyboards, testing::Values(std::size_t{1}, std::size_t{2}),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                             return info.param == 1 ? "One" : "Two";
                         });

} // namespace
} // namespace tavex
