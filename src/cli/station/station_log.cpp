#include "cli/station/station_log.h"

#include "cli/host/file_names.h"
#include "cli/output/console_output.h"
#include "cli/output/terminal_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
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

void StationLog::Append(const DownloadOutcome& outcome)
{
    if (file_ == nullptr) {
        return;
    }
    const std::string time = LocalTimeNow();
    const std::string line = time + "," + CsvField(outcome.device) + "," + CsvField(outcome.image) + "," +
                             (outcome.hardware ? std::to_string(*outcome.hardware) : std::string()) + "," +
                             std::string(ResultName(outcome.result)) + "," + CsvField(outcome.message) + "\n";
    std::clearerr(file_);
    errno = 0;
    const bool written = std::fputs(line.c_str(), file_) >= 0;
    if (std::fflush(file_) == 0 && written) {
        return;
    }
    const int error = errno != 0 ? errno : EIO;
    writeFailed_ = true;
    WriteErr("tavexdl-cli download: the log \"" + TerminalSafe(path_) + "\" could not be written: " +
             std::strerror(error) + "\n");
}

} // namespace tavex
