#include "run_series.h"

#include <algorithm>

namespace tavex::bench {

std::string RunSeries::StartFailure() const
{
    for (const ProgramRun& run : runs) {
        if (!run.started) {
            return run.failure;
        }
    }
    return runs.empty() ? "never run" : "";
}

int RunSeries::FailedExitStatus() const
{
    for (const ProgramRun& run : runs) {
        if (run.exitStatus != 0) {
            return run.exitStatus;
        }
    }
    return 0;
}

double RunSeries::MedianSeconds() const
{
    std::vector<double> seconds;
    for (const ProgramRun& run : runs) {
        seconds.push_back(run.seconds);
    }
    if (seconds.empty()) {
        return 0;
    }
    const auto middle = seconds.begin() + static_cast<std::ptrdiff_t>(seconds.size() / 2);
    std::nth_element(seconds.begin(), middle, seconds.end());
    return *middle;
}

long RunSeries::LargestPeakResidentKiB() const
{
    long largest = 0;
    for (const ProgramRun& run : runs) {
        largest = std::max(largest, run.peakResidentKiB);
    }
    return largest;
}

RunSeries RunRepeatedly(const std::vector<std::string>& arguments, int count)
{
    RunSeries series;
    for (int i = 0; i < count; ++i) {
        series.runs.push_back(RunQuietly(arguments));
        if (!series.runs.back().started) {
            break;
        }
    }
    return series;
}

} // namespace tavex::bench
