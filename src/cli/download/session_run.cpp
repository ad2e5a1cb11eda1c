#include "cli/download/session_run.h"

#include "cli/download/cli_control_host.h"
#include "cli/download/cli_session_host.h"
#include "cli/download/device_wait.h"
#include "session/end_codes.h"

#include <QElapsedTimer>
#include <QEventLoop>

namespace tavex {

namespace {

DownloadResult ResultOf(const CliSessionHost& host, const DownloadSession& session)
{
    if (host.MessagesShown() > 0) {
        return DownloadResult::Failed;
    }
    return session.WasCancelled() ? DownloadResult::Cancelled : DownloadResult::Ok;
}

} // namespace

SessionRun::SessionRun(const DownloadOptions& options, DownloadTarget target, IDownloadReporter& reporter,
                       PosixImageFiles::Sharing sharing)
    : options_(options), target_(std::move(target)), reporter_(reporter), sharing_(sharing)
{
}

DownloadOutcome SessionRun::Run()
{
    QElapsedTimer clock;
    clock.start();
    DownloadOutcome outcome;
    outcome.image = options_.file;
    outcome.device = target_.Label();
    if (options_.waitSeconds > 0 && !DeviceCame(outcome)) {
        outcome.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
        return outcome;
    }

    QEventLoop loop;
    CliSessionHost host(reporter_, options_.file, target_.comNumber > 0 ? target_.comNumber - 1 : 0,
                        [&loop] { loop.quit(); });
    CliControlHost controls(target_, options_.trace);
    PosixImageFiles files(sharing_);
    DownloadSession session(host, host, controls, files);
    host.Attach(session);
    session_ = &session;
    session.OnInitSession();
    if (!session.IsClosed()) {
        session.OnDownload();
        if (session.State() != bpStateNONE) {
            loop.exec();
        }
    }
    session_ = nullptr;

    outcome.result = ResultOf(host, session);
    outcome.message = host.LastMessage();
    outcome.hardware = session.KeyboardHardware();
    outcome.blocks = session.BlockCount();
    outcome.dataBytes = session.DataBytesSent();
    outcome.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    return outcome;
}

// A stop while the device is awaited cancels the download before any frame.
bool SessionRun::DeviceCame(DownloadOutcome& outcome)
{
    const std::string device = target_.DevicePath();
    switch (WaitForDevice(device, options_.waitSeconds, [this] { return stopRequested_; })) {
    case DeviceWait::Appeared:
        return true;
    case DeviceWait::Stopped:
        outcome.result = DownloadResult::Cancelled;
        return false;
    case DeviceWait::TimedOut:
        break;
    }
    outcome.message = DeviceNeverCameMessage(device, options_.waitSeconds);
    reporter_.Message(outcome.message, {});
    return false;
}

void SessionRun::Cancel()
{
    stopRequested_ = true;
    if (session_ != nullptr) {
        session_->OnOK();
    }
}

void SessionRun::Close()
{
    stopRequested_ = true;
    if (session_ != nullptr) {
        session_->EndSession(kEndOperatorClose);
    }
}

} // namespace tavex
