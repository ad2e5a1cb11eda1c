#pragma once

// A claim on an open port that keeps every other program off it. QSerialPort's
// lock file only stops programs that look for it, and its TIOCEXCL does not
// stop root; an flock on the device does both, and the claim ends when the
// port's handle is closed.

namespace tavex {

enum class ClaimResult {
    kClaimed,
    kHeldElsewhere,  // another open handle on the device holds the claim
    kNotSupported,   // the device takes no locks; the port is used unclaimed
};

ClaimResult ClaimExclusively(int fd);

} // namespace tavex
