#pragma once

// A claim on a port by its device name, held from the open to the close: a
// named kernel object that a second open, in this program or another copy
// of it, finds taken. Windows' own serial drivers refuse a second handle on
// a COM port by themselves; wine's pseudo-terminal ports and some virtual
// port drivers share the port, and the bytes would go to either user.

#include "platform/win32/windows_api.h"

#include <string>

namespace tavex {

enum class PortClaimResult {
    kClaimed,
    kHeldElsewhere,  // another open of the same device holds the claim
    kNotSupported,   // the system made no object for the name; the port is used unclaimed
};

class PortClaim {
public:
    PortClaim() = default;
    ~PortClaim() { Release(); }
    PortClaim(const PortClaim&) = delete;
    PortClaim& operator=(const PortClaim&) = delete;

    PortClaimResult Claim(const std::string& device);
    void Release();

private:
    HANDLE object_ = nullptr;
};

// The kernel object's name for a device: a name cannot hold a backslash
// after its namespace, so those become slashes.
std::wstring PortClaimName(const std::string& device);

} // namespace tavex
