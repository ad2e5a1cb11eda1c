#pragma once

#include <optional>
#include <string>

namespace tavex::bench {

// The first executable file called `name` in the directories of PATH.
std::optional<std::string> FindOnPath(const std::string& name);

} // namespace tavex::bench
