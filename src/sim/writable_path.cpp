#include "sim/writable_path.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tavex {

namespace {

std::string Reason(int error) { return std::strerror(error); }

// A missing file is made when it is written, so its directory must let it be.
std::string WhyNoFileCanBeMadeAt(const std::string& path)
{
    std::filesystem::path directory = std::filesystem::path(path).parent_path();
    if (directory.empty()) {
        directory = ".";
    }
    return ::access(directory.c_str(), W_OK | X_OK) == 0 ? "" : Reason(errno);
}

// A regular file is opened as it will be, but appending: it keeps what it
// holds until it is written.
std::string WhyFileCannotBeOpened(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        return Reason(errno);
    }
    ::close(fd);
    return "";
}

} // namespace

std::string WhyNotWritable(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? WhyNoFileCanBeMadeAt(path) : Reason(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return Reason(EISDIR);
    }
    if (S_ISREG(info.st_mode)) {
        return WhyFileCannotBeOpened(path);
    }
    // A pipe or a device is only asked: opening it would wait for a reader,
    // or tell the reader the output had ended.
    return ::access(path.c_str(), W_OK) == 0 ? "" : Reason(errno);
}

} // namespace tavex
