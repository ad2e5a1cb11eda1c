#include "cli/device/tracing_comm_control.h"

#include "cli/output/console_output.h"
#include "cli/output/terminal_text.h"

#include <cstdio>

namespace tavex {

TracingCommControl::TracingCommControl(std::unique_ptr<ICommControl> inner, const std::string& device)
    : inner_(std::move(inner)), linePrefix_(TerminalSafe(device) + ": "), start_(std::chrono::steady_clock::now())
{
}

void TracingCommControl::SetOutput(const std::vector<std::uint8_t>& bytes)
{
    Trace("sent", bytes);
    inner_->SetOutput(bytes);
}

void TracingCommControl::SetInBufferCount(std::int16_t count)
{
    inner_->SetInBufferCount(count);
    TraceLine("dropped", " what was received");
}

std::vector<std::uint8_t> TracingCommControl::GetInput()
{
    std::vector<std::uint8_t> bytes = inner_->GetInput();
    if (!bytes.empty()) {
        Trace("received", bytes);
    }
    return bytes;
}

// Opening and closing show in the trace, and a refusal with the reason the
// device gave.
void TracingCommControl::SetPortOpen(bool open)
{
    try {
        inner_->SetPortOpen(open);
    } catch (const CommControlError& error) {
        TraceLine(open ? "open" : "close", std::string(" failed: ") + error.what());
        throw;
    }
    TraceLine(open ? "open" : "close", "");
}

void TracingCommControl::Trace(const char* direction, const std::vector<std::uint8_t>& bytes) const
{
    std::string hex;
    for (std::uint8_t byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, " %02X", byte);
        hex += pair;
    }
    TraceLine(direction, hex);
}

void TracingCommControl::TraceLine(const char* what, const std::string& text) const
{
    using std::chrono::microseconds;
    const auto elapsed = std::chrono::duration_cast<microseconds>(std::chrono::steady_clock::now() - start_);
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%11lld us %-8s", static_cast<long long>(elapsed.count()), what);
    WriteErr(linePrefix_ + stamp + TerminalSafe(text) + "\n");
}

} // namespace tavex
