#include "support/scratch_directory.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <stdlib.h>

namespace tavex::test {

ScratchDirectory::ScratchDirectory()
{
    char pattern[] = "/tmp/tavex-test-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("no scratch directory");
    }
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDirectory::Write(const std::string& name, const std::string& bytes) const
{
    const std::string path = path_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace tavex::test
