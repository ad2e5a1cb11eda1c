#include "cli/output/download_outcome.h"


#include <cstdio>

namespace tavex {

namespace {

std::string Seconds(double seconds, const char* format)
{
    char text[32];
    std::snprintf(text, sizeof text, format, seconds);
    return text;
}

std::string HardwareText(const std::optional<int>& hardware)
{
    return hardware ? "hardware " + std::to_string(*hardware) : std::string("hardware unknown");
}

} // namespace

std::string MessageWithDetail(const std::string& text, const std::string& detail)
{
    return detail.empty() ? text : text + " (" + detail + ")";
}

std::string_view ResultName(DownloadResult result)
{
    switch (result) {
    case DownloadResult::Ok:
        return "ok";
    case DownloadResult::Cancelled:
        return "cancelled";
    case DownloadResult::Failed:
        break;
    }
    return "failed";
}

std::string ClosingLine(const DownloadOutcome& outcome)
{
    const std::string amount = std::to_string(outcome.blocks) + " blocks, " + std::to_string(outcome.dataBytes) +
                               " data bytes";
    if (outcome.result == DownloadResult::Cancelled) {
        return "Cancelled \"" + outcome.image + "\" on " + outcome.device + " after " + amount + " (" +
               HardwareText(outcome.hardware) + ", " + Seconds(outcome.seconds, "%.1f") + " s).";
    }
    return "Wrote \"" + outcome.image + "\" to " + outcome.device + ": " + HardwareText(outcome.hardware) + ", " +
           amount + " in " + Seconds(outcome.seconds, "%.1f") + " s.";
}

JsonObject& AddOutcome(JsonObject& event, const DownloadOutcome& outcome)
{
    event.Add("ok", outcome.result == DownloadResult::Ok).Add("result", ResultName(outcome.result));
    event.AddTextOrNull("reason", std::string(ErrorCategoryName(outcome.reason)));
    event.Add("blocks", std::int32_t{outcome.blocks}).Add("bytes", outcome.dataBytes);
    if (outcome.hardware) {
        event.Add("hardware", std::int32_t{*outcome.hardware});
    } else {
        event.AddNull("hardware");
    }
    event.AddRaw("seconds", Seconds(outcome.seconds, "%.3f"));
    return event.AddTextOrNull("image_sha256", outcome.imageSha256);
}

JsonObject& AddReason(JsonObject& event, const SystemReason& detail)
{
    if (!detail.text.empty()) {
        event.Add("detail", detail.text);
    }
    if (detail.category != ErrorCategory::kNone) {
        event.Add("reason", std::string(ErrorCategoryName(detail.category)));
    }
    return event;
}

} // namespace tavex
