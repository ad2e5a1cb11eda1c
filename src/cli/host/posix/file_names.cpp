#include "cli/host/file_names.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tavex {

std::vector<std::string> CommandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

std::FILE* OpenNamedFile(const std::string& path, const char* mode)
{
    return std::fopen(path.c_str(), (std::string(mode) + "e").c_str());
}

bool SyncToDisk(std::FILE* file)
{
    return ::fsync(::fileno(file)) == 0 || errno == EINVAL || errno == EROFS;
}

bool SameFile(const std::string& first, const std::string& second)
{
    struct stat one {};
    struct stat other {};
    if (::stat(first.c_str(), &one) != 0 || ::stat(second.c_str(), &other) != 0) {
        return false;
    }
    const bool devices = (S_ISCHR(one.st_mode) && S_ISCHR(other.st_mode)) ||
                         (S_ISBLK(one.st_mode) && S_ISBLK(other.st_mode));
    if (devices) {
        return one.st_rdev == other.st_rdev;
    }
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

std::filesystem::path PathOfName(const std::string& path) { return path; }

} // namespace tavex
