#include "temporary_directory.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tavex::bench {

TemporaryDirectory::TemporaryDirectory()
{
    const char* parent = std::getenv("TMPDIR");
    std::string pattern = std::string(parent != nullptr && *parent != '\0' ? parent : "/tmp") + "/tavexdl-bench-XXXXXX";
    std::vector<char> writable(pattern.begin(), pattern.end());
    writable.push_back('\0');
    if (::mkdtemp(writable.data()) != nullptr) {
        path_ = writable.data();
    }
}

TemporaryDirectory::~TemporaryDirectory()
{
    if (Created()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

} // namespace tavex::bench
