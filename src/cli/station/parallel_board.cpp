#include "cli/station/parallel_board.h"

#include "cli/output/console_output.h"
#include "cli/output/download_reporter.h"
#include "cli/output/json_writer.h"
#include "cli/output/terminal_text.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace tavex {

namespace {

// A column at least `width` wide; a longer text keeps all of itself and
// pushes the columns after it along.
std::string PaddedTo(std::string text, std::size_t width)
{
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

} // namespace

ParallelBoard::ParallelBoard(std::vector<std::string> devices, BoardStyle style) : style_(style)
{
    for (std::string& device : devices) {
        Row row;
        row.shownDevice = TerminalSafe(device);
        row.device = std::move(device);
        rows_.push_back(std::move(row));
    }
}

std::string ParallelBoard::Row::Counts() const
{
    return "good " + std::to_string(tally.good) + ", failed " + std::to_string(tally.failed) + ", cancelled " +
           std::to_string(tally.cancelled);
}

// Every event names its device first.
JsonObject ParallelBoard::Event(std::size_t row, std::string_view name) const
{
    JsonObject event;
    event.Add("device", rows_[row].device).Add("event", name);
    return event;
}

void ParallelBoard::EmitJson(const JsonObject& event) const { WriteOut(event.Text() + "\n"); }

void ParallelBoard::Status(std::size_t row, const std::string& text)
{
    rows_[row].status = text;
    if (style_ == BoardStyle::Json) {
        EmitJson(Event(row, "status").Add("text", text));
    } else if (style_ == BoardStyle::Lines) {
        WriteOut(rows_[row].shownDevice + ": " + TerminalSafe(text) + "\n");
    } else {
        DrawTable();
    }
}

void ParallelBoard::Progress(std::size_t row, int percent)
{
    rows_[row].percent = percent;
    if (style_ == BoardStyle::Json) {
        // Each device's newest percent is what counts, whatever the others'.
        WriteRedraw(Event(row, "progress").Add("percent", std::int32_t{percent}).Text() + "\n", row);
    } else if (style_ == BoardStyle::Table) {
        DrawTable();
    }
}

void ParallelBoard::Message(std::size_t row, const std::string& text, const SystemReason& detail)
{
    rows_[row].message = MessageWithDetail(text, detail.text);
    if (style_ == BoardStyle::Json) {
        JsonObject event = Event(row, "message");
        event.Add("text", text);
        EmitJson(AddReason(event, detail));
    } else if (style_ == BoardStyle::Lines) {
        WriteErr(rows_[row].shownDevice + ": " + TerminalSafeMessage(text, detail.text) + "\n");
    }
}

void ParallelBoard::Finished(std::size_t row, const DownloadOutcome& outcome, const DeviceTally& tally)
{
    Row& finished = rows_[row];
    finished.last = outcome;
    finished.tally = tally;
    if (style_ == BoardStyle::Json) {
        JsonObject event = Event(row, "end");
        AddOutcome(event, outcome)
            .Add("good", std::int32_t{tally.good})
            .Add("failed", std::int32_t{tally.failed})
            .Add("cancelled", std::int32_t{tally.cancelled});
        EmitJson(event);
    } else if (style_ == BoardStyle::Lines) {
        const std::string how = outcome.result == DownloadResult::Failed ? "failed" : ClosingLine(outcome);
        WriteOut(finished.shownDevice + ": " + TerminalSafe(how) + " (" + finished.Counts() + ")\n");
    }
}

void ParallelBoard::NextKeyboard(std::size_t row)
{
    constexpr const char* kWaiting = "Waiting for the next keyboard: plug it in, or press Enter";
    if (style_ == BoardStyle::Json) {
        EmitJson(Event(row, "waiting"));
    } else if (style_ == BoardStyle::Lines) {
        WriteOut(rows_[row].shownDevice + ": " + kWaiting + "\n");
    } else {
        rows_[row].status = kWaiting;
        rows_[row].percent = 0;
        DrawTable();
    }
}

void ParallelBoard::Awaiting(std::size_t row, int seconds)
{
    if (style_ == BoardStyle::Json) {
        EmitJson(Event(row, "waiting").Add("seconds", std::int32_t{seconds}));
    } else if (style_ == BoardStyle::Lines) {
        WriteOut(rows_[row].shownDevice + ": " + TerminalSafe(WaitingText(rows_[row].device, seconds)) + "\n");
    } else {
        rows_[row].status = TerminalSafe(WaitingText(rows_[row].device, seconds));
        DrawTable();
    }
}

// One line a device, redrawn in place. The first drawing puts the table on
// the screen, and every later one moves up over it, the whole table each
// time: the first must come out, while any later one may give way to the
// next.
void ParallelBoard::DrawTable()
{
    std::string table;
    if (tableDrawn_) {
        table += "\033[" + std::to_string(rows_.size()) + "A";
    }
    constexpr int kWidth = 24;
    for (const Row& row : rows_) {
        const int filled = row.percent * kWidth / 100;
        char bar[64];
        std::snprintf(bar, sizeof bar, " [%s%s] %3d%%\n", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                      std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), row.percent);
        table += "\r\033[K" + PaddedTo(row.shownDevice, 16) + " " + PaddedTo(TerminalSafe(row.status), 40) + bar;
    }
    if (tableDrawn_) {
        WriteRedraw(table);
    } else {
        WriteOut(table);
    }
    tableDrawn_ = true;
}

void ParallelBoard::Summary()
{
    if (style_ == BoardStyle::Json) {
        return;
    }
    std::string summary = "\n" + PaddedTo("device", 16) + " " + PaddedTo("result", 9) + "      time  message\n";
    for (const Row& row : rows_) {
        const DownloadOutcome& last = row.last;
        std::string message = last.result == DownloadResult::Failed ? last.message : ClosingLine(last);
        std::replace(message.begin(), message.end(), '\n', ' ');
        char time[32];
        std::snprintf(time, sizeof time, " %8.1fs  ", last.seconds);
        summary += PaddedTo(row.shownDevice, 16) + " " + PaddedTo(std::string(ResultName(last.result)), 9) + time +
                   TerminalSafe(message) + "\n";
        if (row.tally.Total() > 1) {
            summary += std::string(17, ' ') + row.Counts() + "\n";
        }
    }
    WriteOut(summary);
}

} // namespace tavex
