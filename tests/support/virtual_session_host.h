#pragma once

// The window of a download session on a virtual clock, recording what the
// operator would see: status lines, progress, message boxes, controls.

#include "session/download_session.h"
#include "support/virtual_event_loop.h"

#include <optional>
#include <string>
#include <vector>

namespace tavex::test {

class VirtualSessionHost final : public ISessionHost, public ISessionWindow {
public:
    explicit VirtualSessionHost(VirtualEventLoop& loop) : loop_(loop) {}

    void Attach(DownloadSession& session) { session_ = &session; }

    // What the window shows and what it was asked to do.
    std::vector<std::string> statusLines;
    std::vector<int> progress;
    std::vector<std::string> messages;
    std::vector<std::string> details;  // the reason behind each message, "" for none
    std::vector<ErrorCategory> categories;  // the reason's category, kNone for none
    std::vector<std::string> buttonTexts;
    std::vector<bool> inputControlsEnabled;
    std::vector<std::uint64_t> pausesMs;
    std::optional<int> endCode;
    std::string fileField;
    int comSelection = 0;
    int comEntries = 0;
    bool timerAvailable = true;

    // An action of the operator, run as a message at the given virtual time.
    void At(std::uint64_t milliseconds, std::function<void()> action);

    std::uint32_t TickCount() override { return static_cast<std::uint32_t>(loop_.NowMicros() / 1000); }
    void PostStepMessage() override;
    unsigned StartTimer(unsigned timerId, unsigned periodMs) override;
    bool StopTimer(unsigned timerId) override;
    void Pause(unsigned milliseconds) override;
    void ShowMessage(const std::string& text, const SystemReason& detail) override
    {
        messages.push_back(text);
        details.push_back(detail.text);
        categories.push_back(detail.category);
    }
    void SetStatusLine(const std::string& text) override { statusLines.push_back(text); }
    void SetProgress(int percent) override { progress.push_back(percent); }
    void EnableInputControls(bool enable) override { inputControlsEnabled.push_back(enable); }
    void SetButtonText(const std::string& text) override { buttonTexts.push_back(text); }
    void FillComList(int entryCount, int selectedIndex) override;
    int ComSelection() override { return comSelection; }
    std::string FileFieldText() override { return fileField; }
    void EndDialog(int code) override { endCode = code; }

private:
    void Tick(unsigned timerId, unsigned periodMs, std::uint64_t generation);

    VirtualEventLoop& loop_;
    DownloadSession* session_ = nullptr;
    std::uint64_t timerGeneration_ = 0;
    bool timerRunning_ = false;
};

} // namespace tavex::test
