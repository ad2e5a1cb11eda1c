#include "gui/win32/program_name.h"

#include "platform/win32/windows_api.h"

namespace tavex {

std::wstring ProgramNameFromPath(std::wstring_view path)
{
    const std::size_t slash = path.find_last_of(L"\\/:");
    std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring_view::npos && dot > 0) {
        name = name.substr(0, dot);
    }
    return std::wstring(name);
}

std::wstring ProgramName()
{
    // Paths may be longer than MAX_PATH: grow until the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return ProgramNameFromPath(path);
        }
        path.resize(path.size() * 2);
    }
}

} // namespace tavex
