// tavexdl-cli download refuses what names no keyboard, or one keyboard twice,
// before any frame; and a device it cannot open is reported with the
// system's reason, naming the device.

#include "cli/host/descriptor_budget.h"
#include "download_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavex {
namespace {

using test::ChildProcess;
using test::DownloadRig;

// A usage error touches nothing: not the keyboard, and not the log, which is
// not even created.
TEST(Refusals, ArgumentsThatNameNoKeyboardOrOneTwiceAreUsageErrors)
{
    DownloadRig rig({});
    const std::string image = rig.Sample("keyboard-small.s19");
    const std::string log = rig.scratch.Path() + "/station.csv";
    const std::string link = rig.scratch.Path() + "/same-keyboard";
    ASSERT_EQ(::symlink(rig.device.c_str(), link.c_str()), 0);
    struct Case {
        std::vector<std::string> targets;
        std::string err;
    };
    for (const Case& c : {
             Case{{"--device", ""}, "--device takes a device path, not an empty one"},
             Case{{"--device", rig.device, "--device", rig.device}, rig.device + " names a device already given"},
             Case{{"--device", rig.device, "--device", link}, link + " names a device already given"},
             Case{{"--com", "1,1"}, "COM1 names a device already given"},
             Case{{"--device", "--json"}, "--device needs a value, not the option '--json'"},
             Case{{"--device", rig.device, "--wait"}, "--wait needs a value"},
             // A script with an unset variable must not lose its log unseen.
             Case{{"--device", rig.device, "--log", ""}, "--log takes a file name, not an empty one"},
             // A CSV line appended to the image or to the port harms the firmware.
             Case{{"--device", rig.device, "--log", image}, "the log \"" + image + "\" is the image file"},
             Case{{"--device", rig.device, "--log", link}, "the log \"" + link + "\" is the device of " + rig.device},
         }) {
        std::vector<std::string> arguments = {"download", image, "--log", log};
        arguments.insert(arguments.end(), c.targets.begin(), c.targets.end());
        ChildProcess cli(TAVEXDL_CLI, arguments);
        EXPECT_EQ(cli.Wait(10000), 2) << testing::PrintToString(arguments);
        const std::string err = cli.Err();
        EXPECT_NE(err.find(c.err), std::string::npos) << err;
        EXPECT_NE(err.find("usage: tavexdl-cli download FILE"), std::string::npos) << err;
        EXPECT_NE(::access(log.c_str(), F_OK), 0) << "the log was created";
    }
    EXPECT_EQ(test::Slurp(image), test::Slurp(std::string(TAVEX_EXAMPLES) + "/keyboard-small.s19"));
    EXPECT_NE(rig.Summary().find("frames: C0 0"), std::string::npos);
}

// Two nodes of one device are one keyboard: two sessions would fight over it.
TEST(Refusals, ASecondNodeOfADeviceIsTheSameDevice)
{
    DownloadRig rig({});
    struct stat attributes {};
    ASSERT_EQ(::stat(rig.device.c_str(), &attributes), 0);
    const std::string node = rig.scratch.Path() + "/second-node";
    if (::mknod(node.c_str(), S_IFCHR | 0600, attributes.st_rdev) != 0) {
        GTEST_SKIP() << "making a device node needs CAP_MKNOD";
    }
    ChildProcess cli(TAVEXDL_CLI, {"download", rig.Sample("keyboard-small.s19"), "--device", rig.device, "--device",
                                   node});
    EXPECT_EQ(cli.Wait(10000), 2);
    EXPECT_NE(cli.Err().find(node + " names a device already given"), std::string::npos) << cli.Err();
    EXPECT_NE(rig.Summary().find("frames: C0 0"), std::string::npos);
}

// The port opens the very file the command line names: a name without a
// slash is in the working folder, not in /dev, whatever the name looks like
// (even "pts/N" of another keyboard) and whatever bytes it holds.
TEST(DeviceNames, ARelativeNameIsTheFileInTheWorkingFolder)
{
    DownloadRig named({});
    DownloadRig other({});
    const std::string image = named.Sample("keyboard-small.s19");
    const std::string folder = named.scratch.Path();
    ASSERT_EQ(::mkdir((folder + "/pts").c_str(), 0700), 0);
    const std::string otherLeaf = other.device.substr(other.device.rfind('/') + 1);
    for (const std::string& name : {"pts/" + otherLeaf, std::string("kb"), std::string("k\xff\xfe")}) {
        ASSERT_EQ(::symlink(named.device.c_str(), (folder + "/" + name).c_str()), 0) << name;
        ChildProcess cli("/bin/sh", {"-c", "cd \"$0\" && exec \"$1\" download \"$2\" --device \"$3\"", folder,
                                     TAVEXDL_CLI, image, name});
        EXPECT_EQ(cli.Wait(30000), 0) << name << "\n" << cli.Err();
    }
    const std::string writtenSummary = named.Summary();
    EXPECT_NE(writtenSummary.find("blocks written: 21"), std::string::npos) << writtenSummary;
    EXPECT_NE(writtenSummary.find("tables: 3"), std::string::npos) << writtenSummary;
    EXPECT_NE(other.Summary().find("frames: C0 0"), std::string::npos);
}

TEST(Refusals, ADeviceThatCannotBeOpenedIsReportedWithTheReason)
{
    DownloadRig rig({});
    const std::string image = rig.Sample("keyboard-small.s19");
    const std::string plainFile = rig.scratch.Write("not-a-port", "");
    const int held = ::open(rig.device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);  // another program's claim
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    struct Case {
        std::string device;
        std::string reason;
        std::string category;  // the JSON end event's "reason"
    };
    for (const Case& c : {
             Case{rig.scratch.Path() + "/missing", "No such file or directory", "not-found"},
             Case{plainFile, "not a serial port)", "unsupported"},
             Case{"/dev/null", "not a serial port)", "unsupported"},
             Case{rig.device, "in use by another program", "in-use"},
         }) {
        SCOPED_TRACE(c.device);
        ChildProcess cli(TAVEXDL_CLI, {"download", image, "--device", c.device});
        EXPECT_EQ(cli.Wait(10000), 1);
        const std::string err = cli.Err();
        const std::string start = "Error: COM 1 could not be opened. (" + c.device + ": " + c.reason;
        EXPECT_EQ(err.rfind(start, 0), 0U) << err;
        EXPECT_EQ(err.substr(err.size() - 2), ")\n") << err;

        ChildProcess json(TAVEXDL_CLI, {"download", image, "--device", c.device, "--json"});
        EXPECT_EQ(json.Wait(10000), 1);
        const std::string out = json.RestOfOut();
        EXPECT_NE(out.find("\"result\":\"failed\",\"reason\":\"" + c.category + "\""), std::string::npos) << out;
    }
    ::close(held);

    ChildProcess traced(TAVEXDL_CLI, {"download", image, "--device", rig.scratch.Path() + "/missing", "--trace"});
    EXPECT_EQ(traced.Wait(10000), 1);
    const std::string trace = traced.Err();
    EXPECT_NE(trace.find(" us open     failed: " + rig.scratch.Path() + "/missing: No such file or directory\n"),
              std::string::npos)
        << trace;

    DownloadRig missing({});
    EXPECT_EQ(missing.Download(image, {"--device", "/dev/null/none"}), 1);  // two devices: JSON carries "device"
    EXPECT_TRUE(std::any_of(missing.events.begin(), missing.events.end(), [](const std::string& event) {
        return event.find("\"event\":\"message\",\"text\":\"Error: COM 1 could not be opened.\",\"detail\":"
                          "\"/dev/null/none: ") != std::string::npos;
    })) << testing::PrintToString(missing.events);
}

TEST(Refusals, DevicesTheDescriptorsCannotCarryFailAloneAndLeaveNothingBehind)
{
    std::vector<std::unique_ptr<DownloadRig>> keyboards;
    // The program's own descriptors and two devices' fit, a third's not.
    const std::size_t limit = 16 + kRuntimeReserve;
    std::string command = "ulimit -n " + std::to_string(limit) + "; exec " + std::string(TAVEXDL_CLI) + " download ";
    for (int i = 0; i < 3; ++i) {
        keyboards.push_back(std::make_unique<DownloadRig>(std::vector<std::string>{}));
        command += (i == 0 ? keyboards[0]->Sample("keyboard-small.s19") : std::string()) + " --device " +
                   keyboards.back()->device;
    }
    ChildProcess cli("/bin/sh", {"-c", command});
    EXPECT_EQ(cli.Wait(30000), 1);
    const std::string out = cli.RestOfOut();
    std::size_t good = 0;
    std::size_t refused = 0;
    for (const auto& keyboard : keyboards) {
        const bool wrote = keyboard->Summary().find("blocks written: 7") != std::string::npos;
        const bool wasRefused = out.find("Error: The device \"" + keyboard->device +
                                         "\" was not started: too few file descriptors are left. "
                                         "(Too many open files)") != std::string::npos;
        EXPECT_NE(wrote, wasRefused) << keyboard->device << "\n" << out << cli.Err();
        good += wrote ? 1 : 0;
        refused += wasRefused ? 1 : 0;
        // Qt names a port's lock file after the device.
        std::string lock = "/run/lock/LCK.." + keyboard->device.substr(5);
        std::replace(lock.begin() + 10, lock.end(), '/', '_');
        EXPECT_NE(::access(lock.c_str(), F_OK), 0) << lock;
    }
    EXPECT_EQ(good, 2U) << out;
    EXPECT_EQ(refused, 1U) << out;
}

} // namespace
} // namespace tavex
