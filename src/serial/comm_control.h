#pragma once

// The serial port as a comm control offers it: a set of properties and one
// notification, OnComm. The protocol code drives a port only through these.

#include "text/error_category.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavex {

// An error raised by the control: a property it refuses, a port that does not
// exist or is in use, a write while the port is closed, a failed read. The
// category says what kind of system error is behind it, where one is.
class CommControlError : public std::runtime_error {
public:
    explicit CommControlError(const std::string& what, ErrorCategory category = ErrorCategory::kNone)
        : std::runtime_error(what), category_(category)
    {
    }

    ErrorCategory Category() const { return category_; }

private:
    ErrorCategory category_;
};

// CommEvent values the control reports with OnComm.
namespace comm_event {
inline constexpr std::int16_t kSend = 1;            // transmit buffer below SThreshold
inline constexpr std::int16_t kReceive = 2;         // at least RThreshold bytes wait
inline constexpr std::int16_t kCtsChanged = 3;
inline constexpr std::int16_t kDsrChanged = 4;
inline constexpr std::int16_t kCdChanged = 5;
inline constexpr std::int16_t kRing = 6;
inline constexpr std::int16_t kEof = 7;
inline constexpr std::int16_t kBreak = 1001;
inline constexpr std::int16_t kCtsTimeout = 1002;
inline constexpr std::int16_t kDsrTimeout = 1003;
inline constexpr std::int16_t kFrame = 1004;
inline constexpr std::int16_t kOverrun = 1006;
inline constexpr std::int16_t kCdTimeout = 1007;
inline constexpr std::int16_t kRxOver = 1008;
inline constexpr std::int16_t kRxParity = 1009;
inline constexpr std::int16_t kTxFull = 1010;
inline constexpr std::int16_t kDcb = 1011;
} // namespace comm_event

// Every operation but SetOnComm may throw CommControlError.
class ICommControl {
public:
    virtual ~ICommControl() = default;

    virtual void SetCommPort(std::int16_t number) = 0;         // COM number, 1 to 16
    virtual void SetSettings(const std::string& settings) = 0;  // "19200,N,8,1"
    virtual void SetHandshaking(std::int32_t value) = 0;       // 0 none, 1 XON/XOFF, 2 RTS, 3 both
    virtual void SetInBufferSize(std::int16_t size) = 0;
    virtual void SetRThreshold(std::int16_t count) = 0;        // OnComm kReceive once count bytes wait; 0 never
    virtual void SetInputLen(std::int16_t count) = 0;          // 0: Input takes everything waiting
    virtual void SetOutBufferSize(std::int16_t size) = 0;
    virtual void SetSThreshold(std::int16_t count) = 0;
    virtual void SetEOFEnable(bool enable) = 0;
    virtual void SetNullDiscard(bool discard) = 0;
    virtual void SetRTSEnable(bool assert) = 0;                // true asserts RTS, false releases it
    virtual void SetDTREnable(bool assert) = 0;
    virtual void SetParityReplace(const std::string& replacement) = 0;
    virtual void SetInputMode(std::int32_t mode) = 0;          // 0 text, 1 binary (bytes unchanged)
    virtual bool GetPortOpen() = 0;
    virtual void SetPortOpen(bool open) = 0;
    virtual void SetOutput(const std::vector<std::uint8_t>& bytes) = 0;  // one write, in order
    virtual std::vector<std::uint8_t> GetInput() = 0;
    // 0 drops every byte received and not yet taken: what the control holds
    // and what still waits in the driver. Any other count is refused.
    virtual void SetInBufferCount(std::int16_t count) = 0;
    virtual std::int16_t GetCommEvent() = 0;

    // The one notification; delivered on the session's thread, one at a time.
    virtual void SetOnComm(std::function<void()> onComm) = 0;
};

} // namespace tavex
