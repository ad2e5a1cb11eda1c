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
    virtual void Progress(int percent) = 0;  // called only when the bar moves
    // `detail`: the system's reason behind the message, or empty.
    virtual void Message(const std::string& text, const std::string& detail) = 0;
    virtual void End(const DownloadOutcome& outcome) = 0;
};

std::unique_ptr<IDownloadReporter> MakeJsonReporter();
std::unique_ptr<IDownloadReporter> MakeTerminalReporter();
std::unique_ptr<IDownloadReporter> MakePlainReporter();

} // namespace tavex
