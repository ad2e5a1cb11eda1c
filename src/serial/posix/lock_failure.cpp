#include "serial/posix/lock_failure.h"

#include "serial/port_reasons.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tavex {

namespace {

// A lock file cannot even be made when no descriptor is left.
std::optional<SystemReason> OutOfDescriptors()
{
    const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (probe >= 0) {
        ::close(probe);
        return std::nullopt;
    }
    if (errno != EMFILE && errno != ENFILE) {
        return std::nullopt;
    }
    return SystemReason{std::string("no file descriptor is left for its lock file (") + std::strerror(errno) + ")",
                        ErrorCategory::kTooManyOpenFiles};
}

// A stale or foreign lock file keeps the device from this program as one
// in use would: the user has to act either way.
SystemReason Described(const LockFileState& lock)
{
    switch (lock.kind) {
    case LockFileState::Kind::Held:
        return {std::string(port_reason::kInUse) + " (process " + std::to_string(lock.pid) + " holds " + lock.path +
                    ")",
                ErrorCategory::kInUse};
    case LockFileState::Kind::Stale:
        return {"a stale lock file, " + lock.path + ", names process " + std::to_string(lock.pid) +
                    ", which has ended; remove it if no program uses the device",
                ErrorCategory::kInUse};
    case LockFileState::Kind::Foreign:
        return {"a lock file this program cannot read, " + lock.path +
                    ", is in the way; remove it if no program uses the device",
                ErrorCategory::kInUse};
    }
    return {};
}

} // namespace

std::optional<SystemReason> LockFailureReason(const std::string& device, const std::vector<std::string>& folders)
{
    if (std::optional<SystemReason> reason = OutOfDescriptors()) {
        return reason;
    }
    if (const std::size_t nameLength = LockFileName(device).size(); nameLength > NAME_MAX) {
        return SystemReason{"the name of its lock file (" + std::to_string(nameLength) +
                                " characters) is longer than the system allows (" + std::to_string(NAME_MAX) + ")",
                            ErrorCategory::kUnsupported};
    }
    if (const std::optional<LockFileState> lock = FindLockFile(device, folders)) {
        return Described(*lock);
    }
    return std::nullopt;
}

} // namespace tavex
