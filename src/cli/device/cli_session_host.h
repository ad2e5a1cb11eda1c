#pragma once

// The download session's window, on the thread loop of the command line:
// steps are posted calls, the watchdog the loop's timer, message boxes are
// written out (and count as answered at once).

#include "cli/output/download_reporter.h"
#include "cli/host/thread_loop.h"
#include "session/download_session.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace tavex {

class CliSessionHost final : public ISessionHost, public ISessionWindow {
public:
    // `finished` runs once the session is back to idle or the window closed.
    CliSessionHost(ThreadLoop& loop, IDownloadReporter& reporter, std::string fileField, int comIndex,
                   std::function<void()> finished);

    void Attach(DownloadSession& session) { session_ = &session; }

    int MessagesShown() const { return messagesShown_; }
    const std::string& LastMessage() const { return lastMessage_; }
    ErrorCategory LastReason() const { return lastReason_; }
    std::optional<int> EndCode() const { return endCode_; }

    std::uint32_t TickCount() override;
    void PostStepMessage() override;
    unsigned StartTimer(unsigned timerId, unsigned periodMs) override;
    bool StopTimer(unsigned timerId) override;
    void Pause(unsigned milliseconds) override;
    void ShowMessage(const std::string& text, const SystemReason& detail) override;
    void SetStatusLine(const std::string& text) override { reporter_.Status(text); }
    void SetProgress(int percent) override;
    int ComSelection() override { return comIndex_; }
    std::string FileFieldText() override { return fileField_; }
    void EndDialog(int endCode) override;

private:
    void AfterMessage();

    ThreadLoop& loop_;
    IDownloadReporter& reporter_;
    std::function<void()> finished_;
    std::string fileField_;
    int comIndex_;
    DownloadSession* session_ = nullptr;
    const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    unsigned watchdogId_ = 0;
    int progress_ = 0;
    int messagesShown_ = 0;
    std::string lastMessage_;
    ErrorCategory lastReason_ = ErrorCategory::kNone;
    std::optional<int> endCode_;
};

} // namespace tavex
