#pragma once

// The image files of the system the program runs on; each system's part
// (posix/, win32/) is chosen by the build.

#include "image/image_files.h"

namespace tavex {

class SystemImageFiles final : public IImageFiles {
public:
    // Exclusive: no other user of the file at all. Shared among readers:
    // other such readers allowed (downloads of one image to several
    // keyboards), a writer or an exclusive reader not.
    enum class Sharing { Exclusive, SharedAmongReaders };

    explicit SystemImageFiles(Sharing sharing = Sharing::Exclusive) : sharing_(sharing) {}
    OpenedFile Open(const std::string& path) override;

private:
    Sharing sharing_;
};

} // namespace tavex
