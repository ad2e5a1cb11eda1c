#include "serial/posix/port_lock_files.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <fstream>
#include <unistd.h>

namespace tavex {

namespace {

// The process id a lock file holds: decimal text (first line), as the HDB
// UUCP locks and Qt's lock files write it.
std::optional<long> LockPid(const std::string& path)
{
    std::ifstream file(path);
    std::string line;
    if (!file || !std::getline(file, line)) {
        return std::nullopt;
    }
    const auto first = line.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::nullopt;
    }
    long pid = 0;
    const auto [end, error] = std::from_chars(line.data() + first, line.data() + line.size(), pid);
    if (error != std::errc() || pid <= 0) {
        return std::nullopt;
    }
    return pid;
}

// A process lives when a signal could be sent to it, or it is another user's.
bool ProcessLives(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

} // namespace

const std::vector<std::string>& LockFolders()
{
    static const std::vector<std::string> folders = {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp",
                                                     "/tmp",      "/var/tmp",   "/var/lock/lockdev", "/run/lock"};
    return folders;
}

std::string LockFileName(const std::string& device)
{
    std::string name = device.starts_with("/dev/") ? device.substr(5) : device;
    std::replace(name.begin(), name.end(), '/', '_');
    return "LCK.." + name;
}

std::optional<long> LiveLockHolder(const std::string& device, const std::vector<std::string>& folders)
{
    const std::optional<LockFileState> lock = FindLockFile(device, folders);
    if (lock && lock->kind == LockFileState::Kind::Held) {
        return lock->pid;
    }
    return std::nullopt;
}

std::optional<LockFileState> FindLockFile(const std::string& device, const std::vector<std::string>& folders)
{
    const std::string name = LockFileName(device);
    std::optional<LockFileState> found;
    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + name;
        if (::access(path.c_str(), F_OK) != 0) {
            continue;
        }
        const std::optional<long> pid = LockPid(path);
        if (pid && ProcessLives(*pid)) {
            return LockFileState{LockFileState::Kind::Held, path, *pid};
        }
        if (!found) {
            found = pid ? LockFileState{LockFileState::Kind::Stale, path, *pid}
                        : LockFileState{LockFileState::Kind::Foreign, path, 0};
        }
    }
    return found;
}

} // namespace tavex
