#include "cli/station/station_log.h"

#include "cli/host/file_names.h"
#include "cli/output/console_output.h"
#include "cli/output/terminal_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <ctime>

namespace tavex {

StationLog::~StationLog()
{
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool StationLog::Open(const std::string& path)
{
    path_ = path;
    file_ = OpenNamedFile(path, "a");
    if (file_ == nullptr) {
        openError_ = "tavexdl-cli download: the log \"" + TerminalSafe(path) + "\" could not be opened: " +
                     std::strerror(errno);
        return false;
    }
    headerDue_ = std::fseek(file_, 0, SEEK_END) == 0 && std::ftell(file_) == 0;
    return true;
}

std::string CsvField(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

// ISO 8601, local time to the second. The log is written on the main
// thread alone.
std::string StationLog::LocalTimeNow()
{
    const std::time_t now = std::time(nullptr);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", std::localtime(&now));
    return std::string(text, length);
}

std::string StationLogColumns(const DownloadOutcome& outcome)
{
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", outcome.seconds);
    return CsvField(outcome.device) + "," + CsvField(outcome.image) + "," +
           (outcome.hardware ? std::to_string(*outcome.hardware) : std::string()) + "," +
           std::string(ResultName(outcome.result)) + "," + CsvField(outcome.message) + "," + outcome.imageSha256 +
           "," + std::to_string(outcome.blocks) + "," + std::to_string(outcome.dataBytes) + "," + seconds;
}

void StationLog::Append(const DownloadOutcome& outcome)
{
    if (file_ == nullptr) {
        return;
    }
    std::string line = headerDue_ ? kStationLogHeader : "";
    line += LocalTimeNow() + "," + StationLogColumns(outcome) + "\n";
    std::clearerr(file_);
    errno = 0;
    const bool written = std::fputs(line.c_str(), file_) >= 0;
    if (std::fflush(file_) == 0 && written && SyncToDisk(file_)) {
        headerDue_ = false;
        return;
    }
    const int error = errno != 0 ? errno : EIO;
    writeFailed_ = true;
    WriteErr("tavexdl-cli download: the log \"" + TerminalSafe(path_) + "\" could not be written: " +
             std::strerror(error) + "\n");
}

} // namespace tavex
