// tavexdl-cli ports lists without opening: a pseudo-terminal the system does
// not list shows through the COM number that names it, and a download that
// holds it shows as its holder.

#include "download_rig.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tavex {
namespace {

using test::ChildProcess;
using test::DownloadRig;

std::string Ports(const std::vector<std::string>& options)
{
    std::vector<std::string> arguments = {"ports"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    ChildProcess ports(TAVEXDL_CLI, arguments);
    EXPECT_EQ(ports.Wait(10000), 0) << ports.Err();
    return ports.RestOfOut();
}

TEST(Ports, ListAMappedPseudoTerminalAndTheProgramThatHoldsIt)
{
    // Slow enough that the download still holds the port through two
    // listings, each a process of its own, on a loaded machine too.
    DownloadRig rig({"--processing-ms", "1000"});
    ASSERT_EQ(::setenv("TAVEXDL_COM7", rig.device.c_str(), 1), 0);
    EXPECT_NE(Ports({"--json"}).find("{\"device\":\"" + rig.device +
                                     "\",\"com\":[7],\"vendorId\":null,\"productId\":null,\"manufacturer\":null,"
                                     "\"product\":null,\"serialNumber\":null,\"driver\":null,\"systemName\":null,"
                                     "\"busy\":false,\"holderPid\":null}\n"),
              std::string::npos);

    ChildProcess download(TAVEXDL_CLI, {"download", rig.Sample("keyboard-small.s19"), "--device", rig.device, "--json"});
    for (std::string line = download.ReadLine(10000); line.find("Writing Block") == std::string::npos;
         line = download.ReadLine(10000)) {
        ASSERT_NE(line, "") << download.Err();
    }
    const std::string holder = std::to_string(download.Pid());
    const std::string listed = Ports({});
    EXPECT_NE(listed.find(rig.device + "  COM7  in use by process " + holder + "\n"), std::string::npos) << listed;
    EXPECT_NE(Ports({"--json"}).find("\"busy\":true,\"holderPid\":" + holder + "}"), std::string::npos);
    EXPECT_EQ(download.Wait(30000), 0) << download.Err();
    EXPECT_NE(Ports({}).find(rig.device + "  COM7\n"), std::string::npos);
    ::unsetenv("TAVEXDL_COM7");
}

TEST(Ports, RefuseAnythingButJson)
{
    ChildProcess ports(TAVEXDL_CLI, {"ports", "--all"});
    EXPECT_EQ(ports.Wait(10000), 2);
    EXPECT_NE(ports.Err().find("usage: tavexdl-cli ports [--json]"), std::string::npos);
}

} // namespace
} // namespace tavex
