#include "cli/host/file_names.h"

namespace tavex {

std::vector<std::string> CommandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

std::FILE* OpenNamedFile(const std::string& path, const char* mode)
{
    return std::fopen(path.c_str(), (std::string(mode) + "e").c_str());
}

std::filesystem::path PathOfName(const std::string& path) { return path; }

} // namespace tavex
