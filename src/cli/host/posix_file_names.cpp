#include "cli/host/file_names.h"

#include <cerrno>
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

std::filesystem::path PathOfName(const std::string& path) { return path; }

} // namespace tavex
