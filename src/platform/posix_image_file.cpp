#include "platform/posix_image_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavex {

PosixImageFile::~PosixImageFile()
{
    ::close(descriptor_);  // also drops the lock
}

bool PosixImageFile::Refill()
{
    while (true) {
        const ssize_t got = ::read(descriptor_, buffer_.data(), buffer_.size());
        if (got > 0) {
            begin_ = 0;
            end_ = static_cast<std::size_t>(got);
            return true;
        }
        if (got == 0) {
            atEnd_ = true;
            return false;
        }
        if (errno != EINTR) {
            readFailed_ = true;
            return false;
        }
    }
}

std::size_t PosixImageFile::Read(std::uint8_t* into, std::size_t count)
{
    std::size_t copied = 0;
    while (copied < count) {
        if (begin_ == end_ && (atEnd_ || readFailed_ || !Refill())) {
            break;
        }
        const std::size_t piece = std::min(count - copied, end_ - begin_);
        std::memcpy(into + copied, buffer_.data() + begin_, piece);
        begin_ += piece;
        copied += piece;
    }
    return copied;
}

namespace {

OpenedFile Refused(OpenedFile::Status status, std::string reason)
{
    OpenedFile refused;
    refused.status = status;
    refused.reason = std::move(reason);
    return refused;
}

} // namespace

OpenedFile PosixImageFiles::Open(const std::string& path)
{
    struct stat attributes {};
    if (::stat(path.c_str(), &attributes) != 0) {
        return Refused(OpenedFile::Status::NotFound, std::strerror(errno));
    }
    // O_NONBLOCK keeps a FIFO from blocking the open; only regular files are
    // images.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        return Refused(OpenedFile::Status::CannotOpen, std::strerror(errno));
    }
    struct stat openedAttributes {};
    std::string refusal;
    if (::fstat(descriptor, &openedAttributes) != 0) {
        refusal = std::strerror(errno);
    } else if (!S_ISREG(openedAttributes.st_mode)) {
        refusal = "not a regular file";
    } else if (::flock(descriptor, (sharing_ == Sharing::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        refusal = errno == EWOULDBLOCK ? "in use by another program" : std::strerror(errno);
    }
    if (!refusal.empty()) {
        ::close(descriptor);
        return Refused(OpenedFile::Status::CannotOpen, refusal);
    }
    const off_t length = ::lseek(descriptor, 0, SEEK_END);
    if (length < 0 || ::lseek(descriptor, 0, SEEK_SET) != 0) {
        const int error = errno;
        ::close(descriptor);
        return Refused(OpenedFile::Status::LengthUnknown, std::strerror(error));
    }
    OpenedFile opened;
    opened.status = OpenedFile::Status::Opened;
    opened.length = static_cast<std::uint64_t>(length);
    opened.file = std::make_unique<PosixImageFile>(descriptor);
    return opened;
}

} // namespace tavex
