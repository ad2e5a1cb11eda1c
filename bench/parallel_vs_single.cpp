// Eight simulated keyboards, paced at 19200 baud, each sent the same 16 KiB
// image at once, against one keyboard alone, in the same run: the total time
// divided by the time of the one. Then the peak memory of a download of a
// 64 MiB image to one keyboard and to eight, each refusing the first record
// (the whole image is read and checked before it): the sessions share one
// copy of the image, so eight cost little more than one.
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

// The peak resident memory of a download of `image` to `keyboards` keyboards
// that answer the first record with a command error; 0 when one did not
// get that far.
long PeakMemoryOf(int keyboards, const std::string& cli, const std::string& kbsim, const std::string& image)
{
    std::vector<std::unique_ptr<SimulatorProcess>> simulators;
    std::vector<std::string> arguments = {cli, "download", image};
    for (int i = 0; i < keyboards; ++i) {
        simulators.push_back(std::make_unique<SimulatorProcess>(kbsim, std::vector<std::string>{"--fault", "3:fe"}));
        if (simulators.back()->Device().empty()) {
            return 0;
        }
        arguments.insert(arguments.end(), {"--device", simulators.back()->Device()});
    }
    const ProgramRun run = RunQuietly(arguments);
    bool allRefused = true;
    for (const auto& simulator : simulators) {
        allRefused = allRefused && simulator->Finish().find("faults applied: 1") != std::string::npos;
    }
    return run.started && run.exitStatus == 1 && allRefused ? run.peakResidentKiB : 0;
}

// Answers false when a download went wrong.
bool MeasureSharedImageMemory(bool smoke, const std::string& cli, const std::string& kbsim,
                              const std::string& directory)
{
    const std::uint64_t imageBytes = (smoke ? 4ULL : 64ULL) * 1024 * 1024 - 4096;
    const std::string image = directory + "/large.s19";
    if (!WriteS19Image(image, imageBytes)) {
        std::fputs("cannot write the large image\n", stderr);
        return false;
    }
    const long one = PeakMemoryOf(1, cli, kbsim, image);
    const long eight = PeakMemoryOf(kKeyboards, cli, kbsim, image);
    const long imageKiB = static_cast<long>(imageBytes / 1024);
    std::printf("peak resident memory with a %ld KiB image: one keyboard %ld KiB, %d keyboards %ld KiB, "
                "difference %ld KiB%s\n",
                imageKiB, one, kKeyboards, eight, eight - one, one == 0 || eight == 0 ? "  (a download failed)" : "");
    std::printf("target: %d keyboards within half the image of one: %s\n", kKeyboards,
                one > 0 && eight > 0 && eight - one <= imageKiB / 2 ? "met" : "not met");
    return one > 0 && eight > 0;
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
    const bool memoryMeasured = MeasureSharedImageMemory(smoke, argv[1], argv[2], directory.Path());
    return smoke && (one < 0 || eight < 0 || !memoryMeasured) ? 1 : 0;
}
