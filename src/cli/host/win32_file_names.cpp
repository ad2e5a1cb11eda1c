#include "cli/host/file_names.h"

#include "platform/windows_api.h"

#include <cerrno>
#include <io.h>
#include <shellapi.h>

namespace tavex {

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(Utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

std::FILE* OpenNamedFile(const std::string& path, const char* mode)
{
    // N: the handle is not inherited; b: no CR LF in a CSV line or a listing.
    return _wfopen(WideFromUtf8(path).c_str(), WideFromUtf8(std::string(mode) + "bN").c_str());
}

// _commit is FlushFileBuffers; a console or a pipe has nothing to commit.
bool SyncToDisk(std::FILE* file)
{
    return _commit(_fileno(file)) == 0 || errno == EBADF || errno == EINVAL;
}

std::filesystem::path PathOfName(const std::string& path) { return WideFromUtf8(path); }

} // namespace tavex
