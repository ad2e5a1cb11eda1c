#pragma once

// The downloads of one command: a session per device at the same time, each
// on its own thread with its own event loop and port. To its session that
// thread is the one window thread, so pauses, the watchdog and the order of
// events hold as they would for one keyboard alone; a single keyboard is a
// station of one. The main thread only gathers their events for the view and
// writes the log.

#include "cli/device/download_target.h"
#include "cli/device/snapshot_cache.h"
#include "cli/host/thread_loop.h"
#include "cli/station/station_log.h"
#include "cli/station/station_view.h"

#include <memory>
#include <vector>

namespace tavex {

class DeviceWorker;

class Station {
public:
    // `mainLoop` is the calling thread's; `log`, when open, gets a CSV line
    // per download.
    Station(const DownloadOptions& options, IStationView& view, StationLog& log, ThreadLoop& mainLoop);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // Runs every device's downloads to their end. Answers the exit status:
    // failed when a download failed, a device had none or a log line was
    // lost; else cancelled when one was cancelled; else ok.
    int Run();

    // The operator's stop, on the main thread: every download is cancelled,
    // or with `close` its window closed; a loop ends.
    void Stop(bool close);

private:
    friend class DeviceWorker;
    struct Device {
        std::unique_ptr<DeviceWorker> worker;
        DeviceTally tally;
        bool stopped = false;
        bool waiting = false;  // for the next keyboard, said so on the view
    };
    // The workers' events, on the main thread.
    void Status(std::size_t row, const std::string& text);
    void Finished(std::size_t row, const DownloadOutcome& outcome);
    void WaitsForNextKeyboard(std::size_t row);
    void Stopped(std::size_t row);
    void RefuseForDescriptors(std::size_t row);
    void NextKeyboard();
    bool AllStopped() const;
    int ExitStatus() const;

    const DownloadOptions& options_;
    IStationView& view_;
    StationLog& log_;
    ThreadLoop& mainLoop_;
    SnapshotCache snapshots_;
    std::vector<Device> devices_;
};

} // namespace tavex
