#include "program_path.h"

#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace tavex::bench {

std::optional<std::string> FindOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string_view directories = path != nullptr ? path : "";
    while (!directories.empty()) {
        const std::size_t colon = directories.find(':');
        const std::string directory(directories.substr(0, colon));
        directories.remove_prefix(colon == std::string_view::npos ? directories.size() : colon + 1);
        // An empty entry stands for the current directory.
        const std::string candidate = (directory.empty() ? "." : directory) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace tavex::bench
