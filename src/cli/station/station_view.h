#pragma once

// What the operator sees of a station's downloads, one row per device, on
// the main thread: the board of several keyboards, or a single keyboard's
// own report.

#include "cli/output/download_outcome.h"

#include <cstddef>
#include <string>

namespace tavex {

// A device's downloads so far, by how they ended.
struct DeviceTally {
    int good = 0;
    int failed = 0;
    int cancelled = 0;

    void Count(DownloadResult result)
    {
        switch (result) {
        case DownloadResult::Ok:
            ++good;
            break;
        case DownloadResult::Failed:
            ++failed;
            break;
        case DownloadResult::Cancelled:
            ++cancelled;
            break;
        }
    }
    int Total() const { return good + failed + cancelled; }
};

class IStationView {
public:
    virtual ~IStationView() = default;
    virtual void Status(std::size_t row, const std::string& text) = 0;
    virtual void Progress(std::size_t row, int percent) = 0;
    virtual void Message(std::size_t row, const std::string& text, const SystemReason& detail) = 0;
    // The device is awaited before its download, up to `seconds`.
    virtual void Awaiting(std::size_t row, int seconds) = 0;
    // A download ended; `tally` counts it already.
    virtual void Finished(std::size_t row, const DownloadOutcome& outcome, const DeviceTally& tally) = 0;
    // The device waits for its next keyboard (the station loop).
    virtual void NextKeyboard(std::size_t row) = 0;
    // Every device is done.
    virtual void Summary() = 0;
};

} // namespace tavex
