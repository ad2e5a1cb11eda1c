#pragma once

// Programs that open a serial device the UUCP way leave a lock file
// (LCK..ttyUSB0) holding their process id in one of the lock folders; Qt's
// serial ports do so too. A lock whose process still runs says the device is
// held, without opening it.

#include <optional>
#include <string>
#include <vector>

namespace tavex {

// The folders looked in, in order.
const std::vector<std::string>& LockFolders();

// The lock file's name for a device: /dev/ttyUSB0 is LCK..ttyUSB0, and
// /dev/pts/3 is LCK..pts_3.
std::string LockFileName(const std::string& device);

// The process that holds `device` by a live lock file in `folders`.
std::optional<long> LiveLockHolder(const std::string& device,
                                   const std::vector<std::string>& folders = LockFolders());

// A lock file of a device as found, and what it says.
struct LockFileState {
    enum class Kind {
        Held,     // its process runs
        Stale,    // its process has ended
        Foreign,  // no process id this program can read
    };
    Kind kind = Kind::Foreign;
    std::string path;
    long pid = 0;
};

// The first lock file of `device` in `folders`: a live one before any other.
std::optional<LockFileState> FindLockFile(const std::string& device,
                                          const std::vector<std::string>& folders = LockFolders());

} // namespace tavex
