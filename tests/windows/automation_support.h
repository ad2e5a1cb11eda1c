#pragma once

// What the automation tests share: holding COM references, a hidden window
// for a main window, and reading and removing class registry entries.

#include "platform/win32/windows_api.h"

#include <unknwn.h>

#include <memory>
#include <optional>
#include <string>

namespace tavex::test {

struct ComRelease {
    void operator()(IUnknown* object) const
    {
        if (object != nullptr) {
            object->Release();
        }
    }
};

// A reference the holder releases.
template <typename Interface>
using ComHeld = std::unique_ptr<Interface, ComRelease>;

// A hidden top-level window of the test thread, as a main window.
class HiddenWindow {
public:
    HiddenWindow();
    ~HiddenWindow();
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;

    HWND Handle() const { return handle_; }

private:
    HWND handle_ = nullptr;
};

// Takes a message `message` waiting for `window` (null: for the thread) off
// the thread's queue; answers whether there was one. WM_QUIT is found with a
// null window, and is to be looked for first: wine hands a quit request to
// a peek for any message, whatever its filter.
bool TakePosted(HWND window, UINT message);

// Empties the test thread's queue and clears a quit request.
void DropPosted();

// A key's default value, when it is a string.
std::optional<std::wstring> ReadDefaultValue(HKEY root, const std::wstring& keyName);

// Removes the ProgID's and the class id's entries under `classes`.
void RemoveClassEntries(HKEY classes);

// Calls `action` with the user's classes key, then the machine's, which
// wine's class lookup reads; a key that cannot be opened is left out.
template <typename Action>
void ForEachClasses(Action action)
{
    const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
    for (HKEY root : roots) {
        HKEY classes = nullptr;
        if (RegOpenKeyExW(root, L"Software\\Classes", 0, KEY_ALL_ACCESS, &classes) == ERROR_SUCCESS) {
            action(classes);
            RegCloseKey(classes);
        }
    }
}

} // namespace tavex::test
