#include "cli/device/session_run.h"

#include "cli/device/cli_control_host.h"
#include "cli/device/cli_session_host.h"
#include "cli/device/device_wait.h"
#include "cli/host/device_access.h"
#include "cli/host/thread_loop.h"
#include "session/end_codes.h"

#include <chrono>
#include <optional>

namespace tavex {

namespace {

DownloadResult ResultOf(const CliSessionHost& host, const DownloadSession& session)
{
    if (host.MessagesShown() > 0) {
        return DownloadResult::Failed;
    }
    return session.WasCancelled() ? DownloadResult::Cancelled : DownloadResult::Ok;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

SessionRun::SessionRun(const DownloadOptions& options, DownloadTarget target, IDownloadReporter& reporter,
                       SystemImageFiles::Sharing sharing, SnapshotCache* snapshots)
    : options_(options), target_(std::move(target)), reporter_(reporter), sharing_(sharing), snapshots_(snapshots)
{
}

DownloadOutcome SessionRun::Run()
{
    const auto started = std::chrono::steady_clock::now();
    DownloadOutcome outcome;
    outcome.image = options_.file;
    outcome.device = target_.Label();
    if (options_.waitSeconds > 0 && !DeviceCame(outcome)) {
        outcome.seconds = SecondsSince(started);
        return outcome;
    }

    ThreadLoop loop;
    CliSessionHost host(loop, reporter_, options_.file, target_.ShownComNumber() - 1,
                        [&loop] { loop.Quit(); });
    CliControlHost controls(target_, options_.trace);
    SystemImageFiles platformFiles(sharing_);
    std::optional<CachedSnapshotFiles> cachedFiles;
    if (snapshots_ != nullptr) {
        cachedFiles.emplace(platformFiles, *snapshots_);
    }
    IImageFiles& files = cachedFiles ? static_cast<IImageFiles&>(*cachedFiles) : platformFiles;
    DownloadSession session(host, host, controls, files);
    host.Attach(session);
    session_ = &session;
    session.OnInitSession();
    if (!session.IsClosed()) {
        session.OnDownload();
        if (session.State() != bpStateNONE) {
            loop.Run();
        }
    }
    session_ = nullptr;

    outcome.result = ResultOf(host, session);
    outcome.message = host.LastMessage();
    outcome.reason = host.LastReason();
    outcome.hardware = session.KeyboardHardware();
    outcome.blocks = session.BlockCount();
    outcome.dataBytes = session.DataBytesSent();
    outcome.imageSha256 = session.ImageSha256();
    outcome.seconds = SecondsSince(started);
    return outcome;
}

// A stop while the device is awaited cancels the download before any frame.
bool SessionRun::DeviceCame(DownloadOutcome& outcome)
{
    const std::string device = target_.DevicePath();
    if (!DeviceReady(device)) {
        reporter_.Waiting(target_.Label(), options_.waitSeconds);
    }
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
    outcome.reason = ErrorCategory::kNotFound;
    reporter_.Message(outcome.message, {"", outcome.reason});
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
