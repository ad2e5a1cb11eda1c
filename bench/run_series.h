#pragma once

// The same command run several times, summed up.

#include "program_run.h"

#include <string>
#include <vector>

namespace tavex::bench {

struct RunSeries {
    std::vector<ProgramRun> runs;

    // Empty when every run started; otherwise why the first one did not.
    std::string StartFailure() const;
    // The first exit status other than 0, or 0.
    int FailedExitStatus() const;
    double MedianSeconds() const;  // the upper middle one for an even count
    long LargestPeakResidentKiB() const;
    // Every run started and exited with status 0.
    bool AllSucceeded() const { return StartFailure().empty() && FailedExitStatus() == 0; }
};

// Stops early at a run that could not start: later ones would fail alike.
RunSeries RunRepeatedly(const std::vector<std::string>& arguments, int count);

} // namespace tavex::bench
