#include "platform/win32/windows_api.h"

#include <utility>

namespace tavex {

namespace {

constexpr std::pair<DWORD, ErrorCategory> kErrorCategories[] = {
    {ERROR_FILE_NOT_FOUND, ErrorCategory::kNotFound},
    {ERROR_PATH_NOT_FOUND, ErrorCategory::kNotFound},
    {ERROR_ACCESS_DENIED, ErrorCategory::kPermission},
    {ERROR_SHARING_VIOLATION, ErrorCategory::kInUse},
    {ERROR_LOCK_VIOLATION, ErrorCategory::kInUse},
    {ERROR_TOO_MANY_OPEN_FILES, ErrorCategory::kTooManyOpenFiles},
    {ERROR_DEVICE_NOT_CONNECTED, ErrorCategory::kLost},
};

} // namespace

ErrorCategory SystemErrorCategory(DWORD error)
{
    for (const auto& [code, category] : kErrorCategories) {
        if (code == error) {
            return category;
        }
    }
    return ErrorCategory::kOther;
}

std::wstring WideFromUtf8(const std::string& text)
{
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int wideSize = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), wideSize);
    return wide;
}

std::string Utf8FromWide(const std::wstring& text)
{
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int narrowSize = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(narrowSize), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), narrowSize, nullptr, nullptr);
    return narrow;
}

std::string SystemErrorText(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "system error " + std::to_string(error);
    }
    return Utf8FromWide(text);
}

} // namespace tavex
