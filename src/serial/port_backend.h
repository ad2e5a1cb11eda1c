#pragma once

// What a platform gives the comm control: the system calls of one serial
// port and a way back onto the owning thread's event loop. The control keeps
// every property, rule and notification; a back end keeps none of them.

#include "serial/line_settings.h"
#include "text/error_category.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavex {

enum class ModemLine { kDtr, kRts };

// True when the driver, not the control, drives RTS: RTS/CTS handshaking
// (2), alone or with XON/XOFF (3).
bool RtsIsHandshake(std::int32_t handshaking);

// How the port is to run.
struct PortState {
    LineSettings line;
    std::int32_t handshaking = 0;  // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both
    bool rts = false;
    bool dtr = false;
};

// What the port has received since it was last asked.
struct Arrived {
    std::string bytes;
    std::vector<std::int16_t> lineErrors;  // a CommEvent for each error the driver saw
    bool lost = false;                     // the device can no longer be used
};

// The back end's calls into the control, each from a turn of the owning
// thread's loop of its own, never from inside a call the control made.
class PortListener {
public:
    virtual void OnArrived() = 0;      // bytes, line errors or a loss wait
    virtual void OnWritten() = 0;      // the program's own buffer gave bytes to the driver
    virtual void OnDeliveryTurn() = 0; // the turn RequestDeliveryTurn asked for

protected:
    ~PortListener() = default;
};

// Every call but Open and Configure is made only while the port is open.
// A failure is returned as the system's reason, in its own words.
class PortBackend {
public:
    virtual ~PortBackend() = default;

    void SetListener(PortListener& listener) { listener_ = &listener; }

    // The device the COM number names on this system.
    virtual std::string ComDevice(std::int16_t comNumber) const = 0;
    // A device path as the system's calls want it.
    virtual std::string NormaliseDevice(const std::string& devicePath) const { return devicePath; }
    // False for settings this system's driver cannot run.
    virtual bool CanRun(const LineSettings&) const { return true; }

    // Opens and claims the device for this program alone, and sets it to
    // state with the driver's queue sizes; the modem lines come after.
    // Throws CommControlError with the device and the reason.
    virtual void Open(const std::string& device, const PortState& state, std::int16_t inBufferSize,
                      std::int16_t outBufferSize) = 0;
    // Drops whatever is still queued and releases the device at once.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // The line settings and handshaking; on an open port at once. A reason
    // when the port refused them.
    virtual std::optional<std::string> Configure(const PortState& state) = 0;
    // A device without modem lines (a pseudo-terminal) counts as done.
    virtual std::optional<std::string> SetModemLine(ModemLine line, bool assert) = 0;

    // Hands every byte to the driver, or says why not.
    virtual std::optional<std::string> Write(const std::vector<std::uint8_t>& bytes) = 0;
    // Bytes written that the program itself still holds.
    virtual std::size_t BytesHeldForWriting() const = 0;
    // True while written bytes wait anywhere before the wire (the program,
    // the driver). A lost device has nothing left to send.
    virtual bool OutputQueued() = 0;
    virtual void DropOutput() = 0;

    virtual Arrived TakeArrived() = 0;
    // Drops every byte received and not yet taken, here and in the driver.
    virtual std::optional<std::string> DropInput() = 0;

    // Asks for OnArrived, or for OnDeliveryTurn, on a later turn of the
    // owning thread's loop; false when the system could not queue it.
    virtual bool RequestArrivedTurn() = 0;
    virtual bool RequestDeliveryTurn() = 0;

protected:
    PortListener* listener_ = nullptr;
};

} // namespace tavex
