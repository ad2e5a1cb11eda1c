#include "serial/posix/exclusive_claim.h"

#ifndef _WIN32
#include <cerrno>
#include <sys/file.h>
#endif

namespace tavex {

#ifdef _WIN32

// Windows opens a COM port for one handle only.
ClaimResult ClaimExclusively(int) { return ClaimResult::kClaimed; }

#else

ClaimResult ClaimExclusively(int fd)
{
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        return ClaimResult::kClaimed;
    }
    return errno == EWOULDBLOCK ? ClaimResult::kHeldElsewhere : ClaimResult::kNotSupported;
}

#endif

} // namespace tavex
