#pragma once

// How `tavexdl-cli download` shows a session: JSON events, an updating line
// on a terminal, or plain lines.

#include "cli/output/download_outcome.h"

#include <memory>
#include <string>

namespace tavex {

class IDownloadReporter {
public:
    virtual ~IDownloadReporter() = default;
    virtual void Status(const std::string& text) = 0;
    // The device is not there (or not free) yet: the download waits for it
    // up to `seconds` before its session starts.
    virtual void Waiting(const std::string& device, int seconds) = 0;
    virtual void Progress(int percent) = 0;  // called only when the bar moves
    // `detail`: the system's reason behind the message, or none.
    virtual void Message(const std::string& text, const SystemReason& detail) = 0;
    virtual void End(const DownloadOutcome& outcome) = 0;
};

// What the human outputs say while a device is awaited.
std::string WaitingText(const std::string& device, int seconds);

std::unique_ptr<IDownloadReporter> MakeJsonReporter();
std::unique_ptr<IDownloadReporter> MakeTerminalReporter();
std::unique_ptr<IDownloadReporter> MakePlainReporter();

} // namespace tavex
