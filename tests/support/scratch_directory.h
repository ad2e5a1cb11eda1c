#pragma once

#include <string>

namespace tavex::test {

// A fresh directory under the temporary directory (/tmp), removed with everything in it at the end.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& Path() const { return path_; }

    // Writes `bytes` to the file `name` in the directory; answers its path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

} // namespace tavex::test
