#pragma once

// What the operator sees of several downloads at once: a live table on a
// terminal, lines otherwise, JSON events with "device" on request, and a
// summary at the end. Runs on the main thread; the sessions' threads post
// to it.

#include "cli/output/download_outcome.h"
#include "cli/output/json_writer.h"
#include "cli/station/station_view.h"

#include <string>
#include <vector>

namespace tavex {

enum class BoardStyle { Json, Table, Lines };

class ParallelBoard final : public IStationView {
public:
    ParallelBoard(std::vector<std::string> devices, BoardStyle style);

    void Status(std::size_t row, const std::string& text) override;
    void Progress(std::size_t row, int percent) override;
    void Message(std::size_t row, const std::string& text, const SystemReason& detail) override;
    void Awaiting(std::size_t row, int seconds) override;
    void Finished(std::size_t row, const DownloadOutcome& outcome, const DeviceTally& tally) override;
    void NextKeyboard(std::size_t row) override;
    void Summary() override;

private:
    struct Row {
        std::string device;
        std::string shownDevice;  // escaped for the table, the lines and the summary
        std::string status;
        int percent = 0;
        std::string message;
        DownloadOutcome last;  // the last download's outcome
        DeviceTally tally;
        std::string Counts() const;
    };
    void DrawTable();
    JsonObject Event(std::size_t row, std::string_view name) const;
    void EmitJson(const JsonObject& event) const;

    std::vector<Row> rows_;
    BoardStyle style_;
    bool tableDrawn_ = false;
};

} // namespace tavex
