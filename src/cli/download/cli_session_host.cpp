#include "cli/download/cli_session_host.h"

#include <QThread>

namespace tavex {

CliSessionHost::CliSessionHost(IDownloadReporter& reporter, std::string fileField, int comIndex,
                               std::function<void()> finished)
    : reporter_(reporter), finished_(std::move(finished)), fileField_(std::move(fileField)), comIndex_(comIndex)
{
    clock_.start();
    QObject::connect(&watchdog_, &QTimer::timeout, this, [this] {
        session_->OnTimer(watchdogId_);
        AfterMessage();
    });
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
    QMetaObject::invokeMethod(
        this,
        [this] {
            session_->OnStep();
            AfterMessage();
        },
        Qt::QueuedConnection);
}

unsigned CliSessionHost::StartTimer(unsigned timerId, unsigned periodMs)
{
    watchdogId_ = timerId;
    watchdog_.start(static_cast<int>(periodMs));
    return timerId;
}

bool CliSessionHost::StopTimer(unsigned)
{
    watchdog_.stop();
    return true;
}

void CliSessionHost::Pause(unsigned milliseconds) { QThread::msleep(milliseconds); }

void CliSessionHost::ShowMessage(const std::string& text, const std::string& detail)
{
    ++messagesShown_;
    lastMessage_ = MessageWithDetail(text, detail);
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
