#pragma once

// `--log FILE`: one CSV line per download. The columns are those of the
// header line; the first six are the log's first columns and keep their
// order, so that a reader of the older logs still reads them. A new or empty
// log gets the header with its first line; an older log without one is
// appended to as it is. The file is opened before the first download, each
// line is on the disk before the next keyboard starts, and a line that
// cannot be written is reported at once, never lost silently.

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
    bool headerDue_ = false;
    std::string path_;
    std::string openError_;
    bool writeFailed_ = false;
};

inline constexpr const char* kStationLogHeader =
    "time,device,image,hardware,result,message,image_sha256,blocks,bytes,seconds\n";

// A CSV field, quoted, with line ends made spaces.
std::string CsvField(std::string text);

// The download's line, without its time.
std::string StationLogColumns(const DownloadOutcome& outcome);

} // namespace tavex
