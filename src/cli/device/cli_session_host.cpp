#include "cli/device/cli_session_host.h"

#include <thread>

namespace tavex {

CliSessionHost::CliSessionHost(ThreadLoop& loop, IDownloadReporter& reporter, std::string fileField, int comIndex,
                               std::function<void()> finished)
    : loop_(loop), reporter_(reporter), finished_(std::move(finished)), fileField_(std::move(fileField)),
      comIndex_(comIndex)
{
}

std::uint32_t CliSessionHost::TickCount()
{
    const auto elapsed = std::chrono::steady_clock::now() - started_;
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

// A session that has gone back to idle, or a closed window, ends the program.
void CliSessionHost::AfterMessage()
{
    if (session_->IsClosed() || session_->State() == bpStateNONE) {
        finished_();
    }
}

void CliSessionHost::PostStepMessage()
{
    loop_.Post([this] {
        session_->OnStep();
        AfterMessage();
    });
}

unsigned CliSessionHost::StartTimer(unsigned timerId, unsigned periodMs)
{
    watchdogId_ = timerId;
    loop_.StartTimer(periodMs, [this] {
        session_->OnTimer(watchdogId_);
        AfterMessage();
    });
    return timerId;
}

bool CliSessionHost::StopTimer(unsigned)
{
    loop_.StopTimer();
    return true;
}

void CliSessionHost::Pause(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void CliSessionHost::ShowMessage(const std::string& text, const SystemReason& detail)
{
    ++messagesShown_;
    lastMessage_ = MessageWithDetail(text, detail.text);
    lastReason_ = detail.category;
    reporter_.Message(text, detail);
}

void CliSessionHost::SetProgress(int percent)
{
    if (percent != progress_) {
        progress_ = percent;
        reporter_.Progress(percent);
    }
}

void CliSessionHost::EndDialog(int endCode)
{
    endCode_ = endCode;
    finished_();
}

} // namespace tavex
