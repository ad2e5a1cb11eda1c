#include "cli/parallel_board.h"

#include "cli/json_writer.h"

#include <QDateTime>

#include <algorithm>
#include <cstdio>

namespace tavex {

ParallelBoard::ParallelBoard(std::vector<std::string> devices, BoardStyle style, std::string image, std::string log)
    : style_(style), image_(std::move(image)), log_(std::move(log))
{
    for (std::string& device : devices) {
        Row row;
        row.device = std::move(device);
        rows_.push_back(std::move(row));
    }
}

void ParallelBoard::EmitJson(std::size_t row, const std::string& members) const
{
    const std::string line = "{\"device\":" + JsonString(rows_[row].device) + "," + members + "}\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

void ParallelBoard::Status(std::size_t row, const std::string& text)
{
    rows_[row].status = text;
    if (style_ == BoardStyle::Json) {
        EmitJson(row, "\"event\":\"status\",\"text\":" + JsonString(text));
    } else if (style_ == BoardStyle::Lines) {
        std::printf("%s: %s\n", rows_[row].device.c_str(), text.c_str());
        std::fflush(stdout);
    } else {
        DrawTable();
    }
}

void ParallelBoard::Progress(std::size_t row, int percent)
{
    rows_[row].percent = percent;
    if (style_ == BoardStyle::Json) {
        EmitJson(row, "\"event\":\"progress\",\"percent\":" + std::to_string(percent));
    } else if (style_ == BoardStyle::Table) {
        DrawTable();
    }
}

void ParallelBoard::Message(std::size_t row, const std::string& text)
{
    rows_[row].message = text;
    if (style_ == BoardStyle::Json) {
        EmitJson(row, "\"event\":\"message\",\"text\":" + JsonString(text));
    } else if (style_ == BoardStyle::Lines) {
        std::fprintf(stderr, "%s: %s\n", rows_[row].device.c_str(), text.c_str());
    }
}

void ParallelBoard::Finished(std::size_t row, bool silent, double seconds, int hardware)
{
    Row& finished = rows_[row];
    finished.silent = silent;
    finished.seconds = seconds;
    ++(silent ? finished.good : finished.failed);
    AppendLog(finished, hardware);
    if (silent) {
        finished.message.clear();  // the summary shows the last download's message
    }
    if (style_ == BoardStyle::Json) {
        EmitJson(row, std::string("\"event\":\"end\",\"ok\":") + (silent ? "true" : "false") +
                          ",\"good\":" + std::to_string(finished.good) +
                          ",\"failed\":" + std::to_string(finished.failed));
    } else if (style_ == BoardStyle::Lines) {
        std::printf("%s: %s; good %d, failed %d\n", finished.device.c_str(), silent ? "done" : "failed",
                    finished.good, finished.failed);
        std::fflush(stdout);
    }
}

void ParallelBoard::Stopped(std::size_t row) { rows_[row].stopped = true; }

bool ParallelBoard::AllStopped() const
{
    return std::all_of(rows_.begin(), rows_.end(), [](const Row& row) { return row.stopped; });
}

namespace {

std::string CsvField(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

} // namespace

// time, device, image, hardware version, result, message
void ParallelBoard::AppendLog(const Row& row, int hardware) const
{
    if (log_.empty()) {
        return;
    }
    std::FILE* log = std::fopen(log_.c_str(), "a");
    if (log == nullptr) {
        return;
    }
    const std::string time = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    const std::string line = time + "," + CsvField(row.device) + "," + CsvField(image_) + "," +
                             (hardware >= 0 ? std::to_string(hardware) : std::string()) + "," +
                             (row.silent ? "ok" : "failed") + "," + CsvField(row.silent ? "" : row.message) + "\n";
    std::fputs(line.c_str(), log);
    std::fclose(log);
}

// Every download on every device ended silently, and each device had one.
bool ParallelBoard::AllSilent() const
{
    return std::all_of(rows_.begin(), rows_.end(), [](const Row& row) { return row.failed == 0 && row.good > 0; });
}

// One line a device, redrawn in place.
void ParallelBoard::DrawTable()
{
    if (tableDrawn_) {
        std::printf("\033[%zuA", rows_.size());
    }
    constexpr int kWidth = 24;
    for (const Row& row : rows_) {
        const int filled = row.percent * kWidth / 100;
        std::printf("\r\033[K%-16s %-40s [%s%s] %3d%%\n", row.device.c_str(), row.status.c_str(),
                    std::string(static_cast<std::size_t>(filled), '#').c_str(),
                    std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), row.percent);
    }
    std::fflush(stdout);
    tableDrawn_ = true;
}

void ParallelBoard::PrintSummary() const
{
    if (style_ == BoardStyle::Json) {
        return;
    }
    std::printf("\n%-16s %-7s %9s  %s\n", "device", "result", "time", "message");
    for (const Row& row : rows_) {
        std::string message = row.message;
        std::replace(message.begin(), message.end(), '\n', ' ');
        std::printf("%-16s %-7s %8.1fs  %s\n", row.device.c_str(), row.silent ? "ok" : "failed", row.seconds,
                    message.c_str());
        if (row.good + row.failed > 1) {
            std::printf("%-16s good %d, failed %d\n", "", row.good, row.failed);
        }
    }
    std::fflush(stdout);
}

} // namespace tavex
