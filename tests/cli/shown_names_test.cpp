// File names and device paths with control characters in them reach the
// operator's terminal escaped: a name cannot recolour, clear or retitle it.

#include "download_rig.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::ChildProcess;
using test::DownloadRig;

// ESC [31m recolours, the C1 CSI (U+009B) starts a sequence of its own, and
// a line feed would start a line of the name's making.
const std::string kHostileName = "img\x1b[31m\xc2\x9b\nwrote"
                                 "2J";
const std::string kShownEscaped = "img\\x1b[31m\\xc2\\x9b\\x0awrote";

struct Paths {
    std::string image;         // a good image under the hostile name
    std::string missingImage;  // the hostile name, no such file
    std::string nowhere;       // in a missing folder of the hostile name
    std::string device;        // the simulated keyboard
    std::string missingDevice;
};

struct ShownCase {
    const char* name;
    std::vector<std::string> (*arguments)(const Paths&);
    int exitCode;
};

void PrintTo(const ShownCase& c, std::ostream* out) { *out << c.name; }

class HostileNames : public testing::TestWithParam<ShownCase> {};

TEST_P(HostileNames, AreShownEscapedAndNeverRaw)
{
    DownloadRig rig({});
    const std::string folder = rig.scratch.Path() + "/";
    const Paths paths{rig.scratch.Write(kHostileName + ".s19", test::Slurp(std::string(TAVEX_EXAMPLES) +
                                                                           "/keyboard-small.s19")),
                      folder + kHostileName + "-missing.s19", folder + kHostileName + "/file", rig.device,
                      folder + kHostileName + "-port"};
    ChildProcess cli(TAVEXDL_CLI, GetParam().arguments(paths));
    EXPECT_EQ(cli.Wait(30000), GetParam().exitCode) << cli.Err();
    const std::string shown = cli.RestOfOut() + cli.Err();
    EXPECT_EQ(shown.find('\x1b'), std::string::npos) << shown;
    EXPECT_EQ(shown.find("\xc2\x9b"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("\nwrote"), std::string::npos) << shown;
    EXPECT_NE(shown.find(kShownEscaped), std::string::npos) << shown;
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, HostileNames,
    testing::Values(
        ShownCase{"CheckReport", [](const Paths& p) { return std::vector<std::string>{"check", p.image}; }, 0},
        ShownCase{"CheckOfAMissingFile",
                  [](const Paths& p) { return std::vector<std::string>{"check", p.missingImage}; }, 1},
        ShownCase{"CheckFlashOutNowhere",
                  [](const Paths& p) { return std::vector<std::string>{"check", p.image, "--flash-out", p.nowhere}; },
                  1},
        ShownCase{"Download",
                  [](const Paths& p) { return std::vector<std::string>{"download", p.image, "--device", p.device}; },
                  0},
        ShownCase{"DownloadOfAMissingFile",
                  [](const Paths& p) {
                      return std::vector<std::string>{"download", p.missingImage, "--device", p.device};
                  },
                  1},
        ShownCase{"DownloadWithALogNowhere",
                  [](const Paths& p) {
                      return std::vector<std::string>{"download", p.image, "--device", p.device, "--log", p.nowhere};
                  },
                  2},
        ShownCase{"DownloadsToADeviceAndAMissingOne",
                  [](const Paths& p) {
                      return std::vector<std::string>{"download", p.image, "--device", p.device, "--device",
                                                      p.missingDevice};
                  },
                  1}),
    [](const testing::TestParamInfo<ShownCase>& info) { return info.param.name; });

} // namespace
} // namespace tavex
