#include "cli/download_reporter.h"

#include "cli/json_writer.h"

#include <cstdio>

namespace tavex {

namespace {

void WriteMessage(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

// One JSON object a line, flushed at once so that a reader follows live.
class JsonReporter final : public IDownloadReporter {
public:
    void Status(const std::string& text) override { Emit(JsonObject().Add("event", "status").Add("text", text)); }
    void Progress(int percent) override
    {
        Emit(JsonObject().Add("event", "progress").Add("percent", std::int32_t{percent}));
    }
    void Message(const std::string& text) override { Emit(JsonObject().Add("event", "message").Add("text", text)); }
    void End(bool ok) override { Emit(JsonObject().Add("event", "end").Add("ok", ok)); }

private:
    static void Emit(const JsonObject& event)
    {
        const std::string line = event.Text() + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
    }
};

// The status line and a bar, redrawn in place.
class TerminalReporter final : public IDownloadReporter {
public:
    void Status(const std::string& text) override
    {
        status_ = text;
        Draw();
    }
    void Progress(int percent) override
    {
        percent_ = percent;
        Draw();
    }
    void Message(const std::string& text) override
    {
        std::fputs("\n", stdout);
        std::fflush(stdout);
        WriteMessage(text);
    }
    void End(bool) override
    {
        std::fputs("\n", stdout);
        std::fflush(stdout);
    }

private:
    void Draw() const
    {
        constexpr int kWidth = 30;
        const int filled = percent_ * kWidth / 100;
        std::printf("\r\033[K%-40s [%s%s] %3d%%", status_.c_str(), std::string(static_cast<std::size_t>(filled), '#').c_str(),
                    std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), percent_);
        std::fflush(stdout);
    }

    std::string status_;
    int percent_ = 0;
};

class PlainReporter final : public IDownloadReporter {
public:
    void Status(const std::string& text) override
    {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    void Progress(int percent) override
    {
        std::printf("progress %d%%\n", percent);
        std::fflush(stdout);
    }
    void Message(const std::string& text) override { WriteMessage(text); }
    void End(bool) override {}
};

} // namespace

std::unique_ptr<IDownloadReporter> MakeJsonReporter() { return std::make_unique<JsonReporter>(); }
std::unique_ptr<IDownloadReporter> MakeTerminalReporter() { return std::make_unique<TerminalReporter>(); }
std::unique_ptr<IDownloadReporter> MakePlainReporter() { return std::make_unique<PlainReporter>(); }

} // namespace tavex
