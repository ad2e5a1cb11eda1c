#pragma once

#include <string>

namespace tavex::bench {

// A fresh directory under $TMPDIR (or /tmp), removed with its contents when
// this object goes.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    bool Created() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;  // empty when mkdtemp failed
};

} // namespace tavex::bench
