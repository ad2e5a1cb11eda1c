#include "support/scratch_directory.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace tavex::test {

// A new name under the system's temporary directory, made by this test alone
// (create_directory fails for a name that is taken).
ScratchDirectory::ScratchDirectory()
{
    std::random_device seed;
    std::mt19937_64 names(seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = base / ("tavex-test-" + std::to_string(names() % 1'000'000'000));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate.generic_string();
            return;
        }
    }
    throw std::runtime_error("no scratch directory");
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
