#pragma once

// `--log FILE`: one CSV line per download (time, device, image, hardware
// version, result, message). The file is opened before the first download,
// and a line that cannot be written is reported at once, never lost
// silently.

#include "cli/output/download_outcome.h"

#include <cstdio>
#include <string>

namespace tavex {

class StationLog {
public:
    StationLog() = default;
    ~StationLog();
    StationLog(const StationLog&) = delete;
    StationLog& operator=(const StationLog&) = delete;

    // Opens `path` for appending, creating it; false with the reason in
    // OpenError() when it cannot be.
    bool Open(const std::string& path);
    const std::string& OpenError() const { return openError_; }

    // Appends the download's line; does nothing without an open log. A
    // failed write is reported on stderr and remembered.
    void Append(const DownloadOutcome& outcome);
    bool WriteFailed() const { return writeFailed_; }

private:
    static std::string LocalTimeNow();
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string openError_;
    bool writeFailed_ = false;
};

// A CSV field, quoted, with line ends made spaces.
std::string CsvField(std::string text);

} // namespace tavex
