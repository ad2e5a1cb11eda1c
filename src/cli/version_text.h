#pragma once

#include <string>

namespace tavex {

// What `tavexdl-cli --version` prints: the About box's product and version
// lines, then the build's own version (the package's and the Windows
// programs' version block).
std::string VersionText();

} // namespace tavex
