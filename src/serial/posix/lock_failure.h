#pragma once

// Qt's serial port refuses a device whose lock file it cannot take with one
// text for every cause ("Permission error while locking the device"). What
// the lock folders and the process table show tells the causes apart.

#include "serial/posix/port_lock_files.h"
#include "text/error_category.h"

#include <optional>
#include <string>
#include <vector>

namespace tavex {

// Why a lock file for `device` could not be taken: another program holds
// it, a lock file is left by a process that has ended or is not one this
// program reads, the device's name is too long for a lock file, or the
// program has no file descriptor left. Empty when none of these is seen.
std::optional<SystemReason> LockFailureReason(const std::string& device,
                                             const std::vector<std::string>& folders = LockFolders());

} // namespace tavex
