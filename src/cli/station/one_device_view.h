#pragma once

// A single download's view: the session's own report, as one keyboard's
// operator reads it, with no table and no summary.

#include "cli/output/download_reporter.h"
#include "cli/station/station_view.h"

namespace tavex {

class OneDeviceView final : public IStationView {
public:
    OneDeviceView(IDownloadReporter& reporter, std::string device) : reporter_(reporter), device_(std::move(device))
    {
    }
    void Status(std::size_t, const std::string& text) override { reporter_.Status(text); }
    void Progress(std::size_t, int percent) override { reporter_.Progress(percent); }
    void Message(std::size_t, const std::string& text, const SystemReason& detail) override
    {
        reporter_.Message(text, detail);
    }
    void Awaiting(std::size_t, int seconds) override { reporter_.Waiting(device_, seconds); }
    void Finished(std::size_t, const DownloadOutcome& outcome, const DeviceTally&) override { reporter_.End(outcome); }
    void NextKeyboard(std::size_t) override {}  // one download, no loop
    void Summary() override {}

private:
    IDownloadReporter& reporter_;
    std::string device_;
};

} // namespace tavex
