// Eight simulated keyboards, paced at 19200 baud, each sent the same 16 KiB
// image at once, against one keyboard alone, in the same run: the total time
// divided by the time of the one.
//
//   parallel-vs-single TAVEXDL_CLI TAVEXDL_KBSIM [--smoke]

#include "image_file.h"
#include "program_run.h"
#include "simulator_process.h"
#include "smoke_run.h"
#include "synthetic_image.h"
#include "temporary_directory.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tavex::bench;

constexpr int kKeyboards = 8;

// Answers the seconds the download took, or a negative number when it failed.
double DownloadTo(std::uint64_t records, int keyboards, const std::string& cli, const std::string& kbsim, const std::string& image)
{
    std::vector<std::unique_ptr<SimulatorProcess>> simulators;
    std::vector<std::string> arguments = {cli, "download", image};
    for (int i = 0; i < keyboards; ++i) {
        simulators.push_back(std::make_unique<SimulatorProcess>(kbsim, std::vector<std::string>{"--pace"}));
        if (simulators.back()->Device().empty()) {
            return -1;
        }
        arguments.insert(arguments.end(), {"--device", simulators.back()->Device()});
    }
    const ProgramRun run = RunQuietly(arguments);
    bool allWritten = true;
    for (const auto& simulator : simulators) {
        allWritten = allWritten &&
                     simulator->Finish().find("blocks written: " + std::to_string(records)) != std::string::npos;
    }
    return run.started && run.exitStatus == 0 && allWritten ? run.seconds : -1;
}

} // namespace

int main(int argc, char** argv)
{
    const bool smoke = TakeSmokeOption(argc, argv);
    if (argc != 3) {
        std::fputs("usage: parallel-vs-single TAVEXDL_CLI TAVEXDL_KBSIM [--smoke]\n", stderr);
        return 2;
    }
    TemporaryDirectory directory;
    const std::string image = directory.Path() + "/image.s19";
    const std::uint64_t records = (smoke ? 1024 : 16 * 1024) / kBlockDataBytes;
    if (!WriteS19Image(image, records * WriteBlockLines::LineSize() + EndOfTableLine().size())) {
        std::fputs("cannot write the image\n", stderr);
        return 1;
    }
    const double one = DownloadTo(records, 1, argv[1], argv[2], image);
    const double eight = DownloadTo(records, kKeyboards, argv[1], argv[2], image);
    std::printf("%llu write-block records at 19200 baud: one keyboard %.3f s, %d keyboards at once %.3f s, "
                "ratio %.4f%s\n",
                static_cast<unsigned long long>(records), one, kKeyboards, eight, eight / one,
                one < 0 || eight < 0 ? "  (a download failed)" : "");
    std::printf("target: ratio at most 1.05: %s\n", one > 0 && eight > 0 && eight / one <= 1.05 ? "met" : "not met");
    return smoke && (one < 0 || eight < 0) ? 1 : 0;
}
