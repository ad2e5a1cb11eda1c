#include "gui/win32/automation/class_registration.h"

#include "gui/win32/automation/automation_server.h"

#include <objbase.h>

namespace tavex {

namespace {

constexpr DWORD kLongestPath = 32768;  // the system's limit, in UTF-16 units

bool WriteDefaultValue(HKEY root, const std::wstring& keyName, const std::wstring& value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const LSTATUS written =
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

} // namespace

std::wstring ClassIdText(REFGUID classId)
{
    wchar_t text[40] = {};
    const int length = StringFromGUID2(classId, text, 40);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length - 1)) : std::wstring();
}

std::wstring LocalServerCommand(const std::wstring& programPath)
{
    return L"\"" + programPath + L"\"";
}

std::wstring OwnProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        // Cut short: a shortened path would name another file.
        if (path.size() >= kLongestPath) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

bool WriteClassEntries(HKEY classes, const std::wstring& localServerCommand)
{
    const std::wstring progId = kAutomationProgId;
    const std::wstring classKey = L"CLSID\\" + ClassIdText(kAutomationClassId);
    const struct {
        std::wstring key;
        std::wstring value;
    } entries[] = {
        {progId, progId},
        {progId + L"\\CLSID", ClassIdText(kAutomationClassId)},
        {classKey, progId},
        {classKey + L"\\ProgID", progId},
        {classKey + L"\\LocalServer32", localServerCommand},
    };
    bool allWritten = true;
    for (const auto& entry : entries) {
        allWritten = WriteDefaultValue(classes, entry.key, entry.value) && allWritten;
    }
    return allWritten;
}

void RefreshClassEntries()
{
    const std::wstring path = OwnProgramPath();
    if (path.empty()) {
        return;
    }
    const std::wstring command = LocalServerCommand(path);
    // Windows reads the user's registrations first. Wine 8 reads class
    // registrations only under HKEY_LOCAL_MACHINE\Software\Classes, so the
    // machine's entries are written as well wherever that is allowed (it is
    // under wine; on Windows it takes an administrator's rights).
    const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
    for (HKEY root : roots) {
        HKEY classes = nullptr;
        if (RegCreateKeyExW(root, L"Software\\Classes", 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, &classes, nullptr) != ERROR_SUCCESS) {
            continue;
        }
        WriteClassEntries(classes, command);
        RegCloseKey(classes);
    }
}

} // namespace tavex
