#include "cli/version_text.h"

namespace tavex {

namespace {

// As the About box shows them (resources/about_dialog.ui, resources/win32/tavexdl.rc).
constexpr const char* kProductLine = "Tavex Firmware Upgrade Utility";
constexpr const char* kVersionLine = "Version 2.12.00.01";

} // namespace

std::string VersionText()
{
    return std::string(kProductLine) + "\n" + kVersionLine + "\nTavexDL " + TAVEX_BUILD_VERSION + "\n";
}

} // namespace tavex
