// Downloads a 64 KiB image (write-block lines of 16 data bytes) through a
// pseudo-terminal to tavexdl-kbsim, which paces the line at a given speed,
// and compares the time with the physical limit: every byte both ways at
// 10 bits, the keyboard's processing time per command and the pause before
// PING. Then, unpaced, the records per second the host reaches, and from a
// traced unpaced download the host's turnaround: the time from the session's
// read that completes the reply to a write-block frame to its write of the
// next frame, the part of a record's time that is the host's own.
//
//   download-vs-wire TAVEXDL_CLI TAVEXDL_KBSIM [--smoke]

#include "host_turnaround.h"
#include "image_file.h"
#include "program_run.h"
#include "simulator_process.h"
#include "smoke_run.h"
#include "synthetic_image.h"
#include "temporary_directory.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace tavex::bench;

constexpr std::uint64_t kImageDataBytes = 64 * 1024;
constexpr std::uint64_t kSmokeImageDataBytes = 4 * 1024;
constexpr double kProcessingMs = 1.0;
constexpr double kPingPauseSeconds = 0.8;
constexpr std::int64_t kTurnaroundTargetMicros = 50;

// The write-block records of the image, one per 16 data bytes.
std::uint64_t records = kImageDataBytes / kBlockDataBytes;

// Bytes on the line, both ways: PING and its identification, read-ID and the
// ID, a write-block frame and "OK" per record, end-of-table and "OK".
double PhysicalLimitSeconds(unsigned baud)
{
    const std::uint64_t wireBytes = (4 + 18) + (4 + 16) + records * (23 + 2) + (7 + 2);
    const std::uint64_t commands = 2 + records + 1;
    return static_cast<double>(wireBytes) * 10.0 / baud + static_cast<double>(commands) * kProcessingMs / 1000.0 +
           kPingPauseSeconds;
}

struct Download {
    bool ok = false;
    double seconds = 0;
    std::string device;
};

// With a `tracePath`, the download runs with --trace and its stderr goes
// to that file.
Download Run(const std::string& cli, const std::string& kbsim, const std::string& image,
             const std::vector<std::string>& simulatorOptions, const std::string& tracePath = {})
{
    SimulatorProcess simulator(kbsim, simulatorOptions);
    if (simulator.Device().empty()) {
        return {};
    }
    std::vector<std::string> arguments = {cli, "download", image, "--device", simulator.Device()};
    if (!tracePath.empty()) {
        arguments.push_back("--trace");
    }
    const ProgramRun run = tracePath.empty() ? RunQuietly(arguments) : RunWithStderrTo(arguments, tracePath);
    const std::string summary = simulator.Finish();
    const bool allWritten = summary.find("blocks written: " + std::to_string(records)) != std::string::npos;
    return {run.started && run.exitStatus == 0 && allWritten, run.seconds, simulator.Device()};
}

std::string FileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

double RecordsPerSecond(const Download& download)
{
    return static_cast<double>(records) / (download.seconds - kPingPauseSeconds);
}

} // namespace

int main(int argc, char** argv)
{
    const bool smoke = TakeSmokeOption(argc, argv);
    if (argc != 3) {
        std::fputs("usage: download-vs-wire TAVEXDL_CLI TAVEXDL_KBSIM [--smoke]\n", stderr);
        return 2;
    }
    if (smoke) {
        records = kSmokeImageDataBytes / kBlockDataBytes;
    }
    const std::string cli = argv[1];
    const std::string kbsim = argv[2];
    TemporaryDirectory directory;
    const std::string image = directory.Path() + "/image.s19";
    if (!WriteS19Image(image, records * WriteBlockLines::LineSize() + EndOfTableLine().size())) {
        std::fputs("cannot write the image\n", stderr);
        return 1;
    }
    std::printf("image: %llu write-block records of %zu data bytes; keyboard processing %.1f ms a command\n",
                static_cast<unsigned long long>(records), kBlockDataBytes, kProcessingMs);
    const std::string processing = std::to_string(static_cast<int>(kProcessingMs));
    bool allMet = true;
    bool allRan = true;
    for (const unsigned baud : {19200U, 57600U, 115200U}) {
        const Download download =
            Run(cli, kbsim, image, {"--pace-baud", std::to_string(baud), "--processing-ms", processing});
        const double limit = PhysicalLimitSeconds(baud);
        const double ratio = download.seconds / limit;
        allMet = allMet && download.ok && ratio <= 1.02;
        allRan = allRan && download.ok;
        std::printf("%6u baud: %7.3f s, physical limit %7.3f s, ratio %.4f%s\n", baud, download.seconds, limit, ratio,
                    download.ok ? "" : "  (the download failed)");
    }
    std::printf("target: ratio at most 1.02 at every rate: %s\n", allMet ? "met" : "not met");

    const Download unpaced = Run(cli, kbsim, image, {});
    const double transferSeconds = unpaced.seconds - kPingPauseSeconds;
    const double recordsPerSecond = RecordsPerSecond(unpaced);
    std::printf("unpaced: %.3f s (%.3f s without the PING pause): %.0f records a second, %.1f us a record%s\n",
                unpaced.seconds, transferSeconds, recordsPerSecond, 1e6 / recordsPerSecond,
                unpaced.ok ? "" : "  (the download failed)");
    std::printf("target: at least 10,000 records a second: %s\n", recordsPerSecond >= 10000 ? "met" : "not met");

    // The trace's own writes fall inside the turnaround, so that this run is
    // a little slower than the one above and its figures a little high.
    const std::string tracePath = directory.Path() + "/trace.txt";
    const Download traced = Run(cli, kbsim, image, {}, tracePath);
    const std::vector<std::int64_t> turnarounds = WriteBlockTurnarounds(FileText(tracePath), traced.device);
    const bool complete = traced.ok && turnarounds.size() == records;
    const std::int64_t median = Percentile(turnarounds, 0.5);
    std::printf("host turnaround: median %lld us, p99 %lld us over %zu replies to write-block frames "
                "(traced run: %.0f records a second, %.1f us a record)%s\n",
                static_cast<long long>(median), static_cast<long long>(Percentile(turnarounds, 0.99)),
                turnarounds.size(), RecordsPerSecond(traced), 1e6 / RecordsPerSecond(traced),
                complete ? "" : "  (the download or its trace is incomplete)");
    std::printf("target: median at most %lld us: %s\n", static_cast<long long>(kTurnaroundTargetMicros),
                complete && median <= kTurnaroundTargetMicros ? "met" : "not met");
    return smoke && !(allRan && unpaced.ok && complete) ? 1 : 0;
}
