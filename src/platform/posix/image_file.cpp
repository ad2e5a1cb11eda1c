// An image file held with a lock (flock) while open: exclusive, or shared
// with other readers.

#include "image/buffered_file_source.h"
#include "platform/system_image_files.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavex {

namespace {

class PosixImageFile final : public BufferedFileSource {
public:
    explicit PosixImageFile(int descriptor) : descriptor_(descriptor) {}
    ~PosixImageFile() override;
    PosixImageFile(const PosixImageFile&) = delete;
    PosixImageFile& operator=(const PosixImageFile&) = delete;

private:
    std::optional<std::size_t> ReadFromFile(std::uint8_t* into, std::size_t count) override;

    int descriptor_;
};

PosixImageFile::~PosixImageFile()
{
    ::close(descriptor_);  // also drops the lock
}

std::optional<std::size_t> PosixImageFile::ReadFromFile(std::uint8_t* into, std::size_t count)
{
    while (true) {
        const ssize_t got = ::read(descriptor_, into, count);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

} // namespace

OpenedFile SystemImageFiles::Open(const std::string& path)
{
    struct stat attributes {};
    if (::stat(path.c_str(), &attributes) != 0) {
        return OpenedFile::Refused(OpenedFile::Status::NotFound, std::strerror(errno), ErrnoCategory(errno));
    }
    // O_NONBLOCK keeps a FIFO from blocking the open; only regular files are
    // images.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        return OpenedFile::Refused(OpenedFile::Status::CannotOpen, std::strerror(errno), ErrnoCategory(errno));
    }
    struct stat openedAttributes {};
    std::optional<SystemReason> refusal;
    if (::fstat(descriptor, &openedAttributes) != 0) {
        refusal = SystemReason{std::strerror(errno), ErrnoCategory(errno)};
    } else if (!S_ISREG(openedAttributes.st_mode)) {
        refusal = SystemReason{"not a regular file", ErrorCategory::kUnsupported};
    } else if (::flock(descriptor, (sharing_ == Sharing::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        refusal = errno == EWOULDBLOCK ? SystemReason{"in use by another program", ErrorCategory::kInUse}
                                       : SystemReason{std::strerror(errno), ErrnoCategory(errno)};
    }
    if (refusal) {
        ::close(descriptor);
        return OpenedFile::Refused(OpenedFile::Status::CannotOpen, refusal->text, refusal->category);
    }
    const off_t length = ::lseek(descriptor, 0, SEEK_END);
    if (length < 0 || ::lseek(descriptor, 0, SEEK_SET) != 0) {
        const int error = errno;
        ::close(descriptor);
        return OpenedFile::Refused(OpenedFile::Status::LengthUnknown, std::strerror(error), ErrnoCategory(error));
    }
    OpenedFile opened;
    opened.status = OpenedFile::Status::Opened;
    opened.length = static_cast<std::uint64_t>(length);
    opened.file = std::make_unique<PosixImageFile>(descriptor);
    return opened;
}

} // namespace tavex
