#pragma once

// Runs another program to completion with its output discarded (or its
// stderr kept in a file), and answers what it cost: wall time and peak
// resident memory.

#include <string>
#include <vector>

namespace tavex::bench {

struct ProgramRun {
    bool started = false;     // false: the program could not be run at all
    std::string failure;      // why it could not be run
    int exitStatus = -1;      // -1 when a signal ended it
    double seconds = 0;       // from before the fork to after the wait
    long peakResidentKiB = 0;
};

// arguments[0] is the program, looked up on PATH unless it holds a '/'.
ProgramRun RunQuietly(const std::vector<std::string>& arguments);

// The same with the program's stderr written to the file at `errorPath`
// (created or emptied), for output the measurement reads afterwards.
ProgramRun RunWithStderrTo(const std::vector<std::string>& arguments, const std::string& errorPath);

} // namespace tavex::bench
