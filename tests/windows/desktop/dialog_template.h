#pragma once

// A dialog template (DLGTEMPLATEEX) as the resource holds it, read back for
// the tests: what the resource compiler made of the script.

#include "platform/win32/windows_api.h"

#include <optional>
#include <string>
#include <vector>

namespace tavex::test {

struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::wstring className;  // "Button", "Edit", ... also for the classes given by number
    std::wstring text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring title;
    int pointSize = 0;
    std::wstring typeface;
    std::vector<TemplateItem> items;
};

// The template of this resource number in the running program; nothing when
// it is missing or not an extended template.
std::optional<DialogTemplate> LoadDialogTemplate(int resourceId);

} // namespace tavex::test
