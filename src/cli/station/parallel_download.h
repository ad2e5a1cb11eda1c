#pragma once

#include "cli/download/download_target.h"
#include "cli/station/station_log.h"

namespace tavex {

// One complete session per device at the same time, each on its own thread
// with its own event loop and port: to its session that thread is the one
// window thread, so pauses, the watchdog and the order of events hold as in
// a single download. The calling thread only gathers their events and
// writes the log. Answers the exit code: 1 when a download failed or a log
// line was lost, else 130 when one was cancelled, else 0.
int RunParallelDownloads(const DownloadOptions& options, StationLog& log);

} // namespace tavex
