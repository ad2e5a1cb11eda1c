#include "cli/host/file_names.h"

#include "platform/win32/windows_api.h"
#include "cli/host/device_access.h"
#include "serial/win32/com_device_path.h"

#include <cerrno>
#include <io.h>
#include <optional>
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

namespace {

struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Looked at with no access asked for, so that a file another program holds
// can still be compared.
std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    HANDLE handle = CreateFileW(WideFromUtf8(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(handle, &information) != 0;
    CloseHandle(handle);
    if (!known) {
        return std::nullopt;
    }
    return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
}

bool InDeviceNamespace(const std::string& path) { return NormaliseDevicePath(path).rfind("\\\\.\\", 0) == 0; }

} // namespace

// A COM port is a name in the device namespace: COM3, com3 and \\.\COM3 are
// one port, and one that is never opened to be compared.
bool SameFile(const std::string& first, const std::string& second)
{
    if (InDeviceNamespace(first) || InDeviceNamespace(second)) {
        return SameDeviceKey(first) == SameDeviceKey(second);
    }
    const std::optional<FileIdentity> one = IdentityOf(first);
    return one && one == IdentityOf(second);
}

std::filesystem::path PathOfName(const std::string& path) { return WideFromUtf8(path); }

} // namespace tavex
