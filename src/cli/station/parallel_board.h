#pragma once

// What the operator sees of several downloads at once: a live table on a
// terminal, lines otherwise, JSON events with "device" on request, and a
// summary at the end. Runs on the main thread; the sessions' threads post
// to it.

#include "cli/output/download_outcome.h"
#include "cli/output/json_writer.h"
#include "cli/station/station_log.h"

#include <string>
#include <vector>

namespace tavex {

enum class BoardStyle { Json, Table, Lines };

class ParallelBoard final {
public:
    // `log`, when open, gets a CSV line per download.
    ParallelBoard(std::vector<std::string> devices, BoardStyle style, StationLog& log);

    void Status(std::size_t row, const std::string& text);
    void Progress(std::size_t row, int percent);
    void Message(std::size_t row, const std::string& text, const SystemReason& detail);
    // The device is awaited before its download, up to `seconds`.
    void Awaiting(std::size_t row, int seconds);
    // A download ended.
    void Finished(std::size_t row, const DownloadOutcome& outcome);
    // The device waits for its next keyboard (the station loop); an Enter
    // now is for it. TakeWaiting answers whether it waits, once.
    void Waiting(std::size_t row);
    bool TakeWaiting(std::size_t row);
    // The device's worker is done: no more downloads on it.
    void Stopped(std::size_t row);

    bool AllStopped() const;
    // 1 when a download failed, a device had none or a log line was lost;
    // else 130 when one was cancelled; else 0.
    int ExitCode() const;
    void PrintSummary() const;

private:
    struct Row {
        std::string device;
        std::string shownDevice;  // escaped for the table, the lines and the summary
        std::string status;
        int percent = 0;
        std::string message;
        bool stopped = false;
        bool waiting = false;  // for the next keyboard, said so on the board
        DownloadOutcome last;  // the last download's outcome
        int good = 0;
        int failed = 0;
        int cancelled = 0;
        std::string Counts() const;
    };
    void DrawTable();
    JsonObject Event(std::size_t row, std::string_view name) const;
    void EmitJson(const JsonObject& event) const;

    std::vector<Row> rows_;
    BoardStyle style_;
    StationLog& log_;
    bool tableDrawn_ = false;
};

} // namespace tavex
