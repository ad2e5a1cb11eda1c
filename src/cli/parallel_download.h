#pragma once

#include "cli/download_target.h"

namespace tavex {

// One complete session per device at the same time, each on its own thread
// with its own event loop and port: to its session that thread is the one
// window thread, so pauses, the watchdog and the order of events hold as in
// a single download. The calling thread only gathers their events. Answers
// the exit code: 0 when every session ended silently, 1 otherwise, 130 when
// interrupted and every session ended silently.
int RunParallelDownloads(const DownloadOptions& options);

} // namespace tavex
