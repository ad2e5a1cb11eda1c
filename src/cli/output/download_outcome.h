#pragma once

// How one download ended, as every report of it tells it: the JSON end
// event, the human lines, the summary of several keyboards and the log.

#include "cli/output/json_writer.h"
#include "text/error_category.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavex {

// A cancelled download is never a success, whatever the keyboard got.
enum class DownloadResult { Ok, Failed, Cancelled };

std::string_view ResultName(DownloadResult result);  // "ok", "failed", "cancelled"

struct DownloadOutcome {
    DownloadResult result = DownloadResult::Failed;
    std::string image;            // as typed
    std::string device;           // as the reports name it
    std::string message;          // the message that ended a failed download, with its detail
    ErrorCategory reason = ErrorCategory::kNone;  // of the system error behind the message, if any
    std::optional<int> hardware;  // the keyboard's version, once its ID came
    int blocks = 0;               // write-block frames acknowledged or sent
    std::uint64_t dataBytes = 0;  // block data sent
    double seconds = 0;
    std::string imageSha256;      // of the image the download read; empty when it read none
};

// A message as the human outputs show it: the system's reason, when there
// is one, after it in parentheses.
std::string MessageWithDetail(const std::string& text, const std::string& detail);

// The line that closes a download's human output when it did not fail:
// what was written where, or that it was cancelled and how far it got.
std::string ClosingLine(const DownloadOutcome& outcome);

// The outcome's members of a JSON end event: ok, result, reason (the
// category of the system error that ended it; null for none), blocks, bytes,
// hardware (null when unknown), seconds and image_sha256 (null when no
// image was read).
JsonObject& AddOutcome(JsonObject& event, const DownloadOutcome& outcome);

// A message event's members for the system's reason behind it: detail (its
// words) and reason (its category), each only when there is one.
JsonObject& AddReason(JsonObject& event, const SystemReason& detail);

} // namespace tavex
