// How `tavexdl-cli check` compares with srec_info reading the same large
// image, and whether check's memory stays flat as the image grows. It only
// measures and prints: the targets are reported, never enforced.
//
// usage: check-vs-srec-info PATH-OF-TAVEXDL-CLI [--smoke]

#include "image_file.h"
#include "program_path.h"
#include "run_series.h"
#include "smoke_run.h"
#include "temporary_directory.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace {

using tavex::bench::RunSeries;

int runs = 5;
constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr double kBytesPerMB = 1e6;
constexpr double kTargetSpeedRatio = 5;
constexpr long kTargetMemoryGrowthKiB = 1024;

struct Image {
    std::string label;
    std::string path;
    std::uint64_t bytes = 0;
};

std::optional<Image> MakeImage(const tavex::bench::TemporaryDirectory& directory, std::uint64_t mebibytes)
{
    Image image;
    image.label = std::to_string(mebibytes) + " MiB image";
    image.path = directory.Path() + "/image-" + std::to_string(mebibytes) + "mib.s19";
    const std::optional<std::uint64_t> written = tavex::bench::WriteS19Image(image.path, mebibytes * kMiB);
    if (!written) {
        std::fprintf(stderr, "check-vs-srec-info: cannot write %s\n", image.path.c_str());
        return std::nullopt;
    }
    image.bytes = *written;
    return image;
}

double MegabytesPerSecond(const Image& image, const RunSeries& series)
{
    return static_cast<double>(image.bytes) / kBytesPerMB / series.MedianSeconds();
}

// Answers false when the program could not be run at all; a run that ended
// badly is reported and the figures are still printed.
bool ReportFailures(const std::string& command, const RunSeries& series, const Image& image)
{
    const std::string startFailure = series.StartFailure();
    if (!startFailure.empty()) {
        std::fprintf(stderr, "check-vs-srec-info: cannot run %s: %s\n", command.c_str(), startFailure.c_str());
        return false;
    }
    if (const int status = series.FailedExitStatus(); status != 0) {
        std::printf("NOTE: %s exited with status %d on the %s (%s); its figures below are not a valid reading\n",
                    command.c_str(), status, image.label.c_str(), image.path.c_str());
    }
    return true;
}

std::optional<RunSeries> TimeCheck(const std::string& cli, const Image& image)
{
    RunSeries series = tavex::bench::RunRepeatedly({cli, "check", image.path}, runs);
    if (!ReportFailures("tavexdl-cli check", series, image)) {
        return std::nullopt;
    }
    return series;
}

// Nothing when srec_info is not installed or cannot run; the comparison is
// then left out and check's own figures still printed.
std::optional<RunSeries> TimeSrecInfo(const Image& image)
{
    const std::optional<std::string> srecInfo = tavex::bench::FindOnPath("srec_info");
    if (!srecInfo) {
        std::printf("NOTE: srec_info is not on PATH (Debian package srecord); no comparison made\n");
        return std::nullopt;
    }
    // srec_info takes the image without options: it checks every checksum,
    // and the wrap of the 24-bit addresses costs only warnings (no header
    // record, addresses not ascending), not a failing exit status. It does not
    // look for contradictory bytes here, but the image has none anyway.
    RunSeries series = tavex::bench::RunRepeatedly({*srecInfo, image.path}, runs);
    if (!ReportFailures("srec_info", series, image)) {
        return std::nullopt;
    }
    return series;
}

void PrintThroughput(const char* command, const Image& image, const RunSeries& series)
{
    std::printf("%-18s %s: %8.3f s  %8.1f MB/s\n", command, image.label.c_str(), series.MedianSeconds(),
                MegabytesPerSecond(image, series));
}

// A target is judged only on runs that all succeeded: the figures of a
// rejected image say nothing about reading a valid one.
void PrintTarget(const char* target, bool measured, bool met)
{
    std::printf("target: %s: %s\n", target, !measured ? "not measured" : met ? "met" : "not met");
}

void PrintSpeedComparison(const Image& image, const RunSeries& check, const std::optional<RunSeries>& srecInfo)
{
    PrintThroughput("tavexdl-cli check", image, check);
    constexpr const char* kSpeedTarget = "check at least 5 times as fast as srec_info";
    if (!srecInfo) {
        PrintTarget(kSpeedTarget, false, false);
        return;
    }
    PrintThroughput("srec_info", image, *srecInfo);
    const double ratio = MegabytesPerSecond(image, check) / MegabytesPerSecond(image, *srecInfo);
    std::printf("speed ratio (check / srec_info): %.2f\n", ratio);
    PrintTarget(kSpeedTarget, check.AllSucceeded() && srecInfo->AllSucceeded(), ratio >= kTargetSpeedRatio);
}

void PrintMemoryComparison(const Image& small, const RunSeries& smallCheck, const Image& large,
                           const RunSeries& largeCheck)
{
    const long smallPeak = smallCheck.LargestPeakResidentKiB();
    const long largePeak = largeCheck.LargestPeakResidentKiB();
    const long growth = largePeak - smallPeak;
    std::printf("peak resident memory of check: %s %ld KiB, %s %ld KiB, difference %ld KiB\n",
                small.label.c_str(), smallPeak, large.label.c_str(), largePeak, growth);
    PrintTarget("peak memory difference within 1 MiB", smallCheck.AllSucceeded() && largeCheck.AllSucceeded(),
                growth <= kTargetMemoryGrowthKiB);
}

void PrintPreamble(const Image& small, const Image& large)
{
    std::printf("images: S2 lines of 16 data bytes, CR LF, one S8 at the end; %s = %llu bytes, %s = %llu bytes\n",
                small.label.c_str(), static_cast<unsigned long long>(small.bytes), large.label.c_str(),
                static_cast<unsigned long long>(large.bytes));
    std::printf("each command runs %d times: time = median wall time, throughput = file bytes / time (MB = 10^6 bytes),\n"
                "peak memory = largest ru_maxrss of the runs\n",
                runs);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    const bool smoke = tavex::bench::TakeSmokeOption(argc, argv);
    if (argc != 2) {
        std::fputs("usage: check-vs-srec-info PATH-OF-TAVEXDL-CLI [--smoke]\n", stderr);
        return 2;
    }
    if (smoke) {
        runs = 1;
    }
    const std::string cli = argv[1];
    const tavex::bench::TemporaryDirectory directory;
    if (!directory.Created()) {
        std::fputs("check-vs-srec-info: cannot make a temporary directory\n", stderr);
        return 1;
    }
    const std::optional<Image> small = MakeImage(directory, 1);
    const std::optional<Image> large = MakeImage(directory, smoke ? 2 : 64);
    if (!small || !large) {
        return 1;
    }
    PrintPreamble(*small, *large);

    const std::optional<RunSeries> largeCheck = TimeCheck(cli, *large);
    const std::optional<RunSeries> smallCheck = TimeCheck(cli, *small);
    if (!largeCheck || !smallCheck) {
        return 1;
    }
    const std::optional<RunSeries> srecInfo = TimeSrecInfo(*large);
    PrintSpeedComparison(*large, *largeCheck, srecInfo);
    PrintMemoryComparison(*small, *smallCheck, *large, *largeCheck);
    return smoke && !(smallCheck->AllSucceeded() && largeCheck->AllSucceeded()) ? 1 : 0;
}
