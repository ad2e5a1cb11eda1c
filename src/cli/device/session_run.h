#pragma once

// One download on the calling thread's loop: the session with its
// window host, comm control and image file, built and run the same way for
// one keyboard and for each of several. To its session, that thread is the
// one window thread.

#include "cli/output/download_outcome.h"
#include "cli/output/download_reporter.h"
#include "cli/device/download_target.h"
#include "cli/device/snapshot_cache.h"
#include "platform/system_image_files.h"

namespace tavex {

class DownloadSession;

class SessionRun {
public:
    // With `snapshots`, the image's copy is the one the other sessions of
    // the cache hold, when one does.
    SessionRun(const DownloadOptions& options, DownloadTarget target, IDownloadReporter& reporter,
               SystemImageFiles::Sharing sharing, SnapshotCache* snapshots = nullptr);

    // Waits for the device when asked, runs the download to its end and
    // answers how it ended.
    DownloadOutcome Run();

    // The Cancel button and the window's close, on the session's thread.
    // Before the session runs they stop the wait for its device.
    void Cancel();
    void Close();

private:
    bool DeviceCame(DownloadOutcome& outcome);

    const DownloadOptions& options_;
    DownloadTarget target_;
    IDownloadReporter& reporter_;
    SystemImageFiles::Sharing sharing_;
    SnapshotCache* snapshots_;
    DownloadSession* session_ = nullptr;
    bool stopRequested_ = false;
};

} // namespace tavex
