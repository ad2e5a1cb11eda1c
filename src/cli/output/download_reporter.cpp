#include "cli/output/download_reporter.h"

#include "cli/output/console_output.h"
#include "cli/output/json_writer.h"
#include "cli/output/terminal_text.h"

#include <cstdio>

namespace tavex {

namespace {

// The human outputs show names escaped; JSON escapes them its own way.
void WriteMessage(const std::string& text, const SystemReason& detail)
{
    WriteErr(TerminalSafeMessage(text, detail.text) + "\n");
}

} // namespace

std::string WaitingText(const std::string& device, int seconds)
{
    return "Waiting up to " + std::to_string(seconds) + " seconds for \"" + device + "\"";
}

namespace {

// A failed download ends with its message; the others say how they ended.
void WriteClosingLine(const DownloadOutcome& outcome)
{
    if (outcome.result != DownloadResult::Failed) {
        WriteOut(TerminalSafe(ClosingLine(outcome)) + "\n");
    }
}

// One JSON object a line, flushed at once so that a reader follows live.
class JsonReporter final : public IDownloadReporter {
public:
    void Status(const std::string& text) override { Emit(JsonObject().Add("event", "status").Add("text", text)); }
    void Waiting(const std::string&, int seconds) override
    {
        Emit(JsonObject().Add("event", "waiting").Add("seconds", std::int32_t{seconds}));
    }
    // The newest percent is what counts: one still waiting for a slow
    // reader gives way to the next.
    void Progress(int percent) override
    {
        WriteRedraw(JsonObject().Add("event", "progress").Add("percent", std::int32_t{percent}).Text() + "\n");
    }
    void Message(const std::string& text, const SystemReason& detail) override
    {
        JsonObject event;
        event.Add("event", "message").Add("text", text);
        Emit(AddReason(event, detail));
    }
    void End(const DownloadOutcome& outcome) override
    {
        JsonObject event;
        event.Add("event", "end");
        Emit(AddOutcome(event, outcome));
    }

private:
    static void Emit(const JsonObject& event) { WriteOut(event.Text() + "\n"); }
};

// The status line and a bar, redrawn in place.
class TerminalReporter final : public IDownloadReporter {
public:
    void Status(const std::string& text) override
    {
        status_ = TerminalSafe(text);
        Draw();
    }
    void Waiting(const std::string& device, int seconds) override { Status(WaitingText(device, seconds)); }
    void Progress(int percent) override
    {
        percent_ = percent;
        Draw();
    }
    void Message(const std::string& text, const SystemReason& detail) override
    {
        WriteOut("\n");
        WriteMessage(text, detail);
    }
    void End(const DownloadOutcome& outcome) override
    {
        WriteOut("\n");
        WriteClosingLine(outcome);
    }

private:
    // From the start of the line, the whole of it: a redraw that a slow
    // reader never got leaves nothing behind for the next to build on.
    void Draw() const
    {
        constexpr int kWidth = 30;
        const int filled = percent_ * kWidth / 100;
        char line[256];
        std::snprintf(line, sizeof line, "\r\033[K%-40s [%s%s] %3d%%", status_.c_str(),
                      std::string(static_cast<std::size_t>(filled), '#').c_str(),
                      std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), percent_);
        WriteRedraw(line);
    }

    std::string status_;
    int percent_ = 0;
};

class PlainReporter final : public IDownloadReporter {
public:
    void Status(const std::string& text) override { WriteOut(TerminalSafe(text) + "\n"); }
    void Waiting(const std::string& device, int seconds) override { Status(WaitingText(device, seconds)); }
    void Progress(int percent) override { WriteRedraw("progress " + std::to_string(percent) + "%\n"); }
    void Message(const std::string& text, const SystemReason& detail) override { WriteMessage(text, detail); }
    void End(const DownloadOutcome& outcome) override { WriteClosingLine(outcome); }
};

} // namespace

std::unique_ptr<IDownloadReporter> MakeJsonReporter() { return std::make_unique<JsonReporter>(); }
std::unique_ptr<IDownloadReporter> MakeTerminalReporter() { return std::make_unique<TerminalReporter>(); }
std::unique_ptr<IDownloadReporter> MakePlainReporter() { return std::make_unique<PlainReporter>(); }

} // namespace tavex
