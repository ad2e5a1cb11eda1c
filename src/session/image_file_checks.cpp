#include "session/image_file_checks.h"

#include "image/image_snapshot.h"
#include "text/ascii.h"
#include "text/format.h"

namespace tavex {

namespace {

// The (at most) three characters after the last '.', or "" when there is no
// '.' or fewer than two characters follow it.
std::string_view Extension(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || name.size() - dot - 1 < 2) {
        return {};
    }
    return name.substr(dot + 1, 3);
}

} // namespace

ImageName CheckImageName(std::string_view typedName)
{
    ImageName name;
    name.fileName = AsciiLowerCase(typedName);
    if (name.fileName.empty()) {
        name.message = Message<string_id::kNoFileName>();
        return name;
    }
    const std::string_view extension = Extension(name.fileName);
    if (extension == StringText<string_id::kExtensionS19>) {
        name.fileKind = FileKind::S19;
    } else if (extension == StringText<string_id::kExtensionS20>) {
        name.fileKind = FileKind::S20;
    } else {
        name.fileName = std::string(typedName);
        name.message = Message<string_id::kBadExtension>(name.fileName);
        return name;
    }
    name.accepted = true;
    return name;
}

OpenedImage OpenImage(IImageFiles& files, std::string_view typedName)
{
    OpenedImage image;
    ImageName name = CheckImageName(typedName);
    image.fileName = std::move(name.fileName);
    image.fileKind = name.fileKind;
    if (!name.accepted) {
        image.message = std::move(name.message);
        return image;
    }
    OpenedFile opened = files.Open(std::string(typedName));
    if (!opened.reason.empty()) {
        image.detail = {std::string(typedName) + ": " + opened.reason, opened.category};
    }
    switch (opened.status) {
    case OpenedFile::Status::NotFound:
        image.fileName = std::string(typedName);
        image.message = Message<string_id::kFileNotFound>(image.fileName);
        break;
    case OpenedFile::Status::CannotOpen:
        image.message = Message<string_id::kFileNotOpened>(image.fileName);
        break;
    case OpenedFile::Status::LengthUnknown:
        image.message = Message<string_id::kFileNotAccessed>(image.fileName);
        break;
    case OpenedFile::Status::Opened:
        // A download holds the whole image in memory: a larger one is
        // refused here, so that check refuses it too. The file is released.
        if (opened.length > kLargestSnapshot) {
            image.message = Message<string_id::kImageTooLarge>(image.fileName, opened.length);
            break;
        }
        image.imageFile = std::move(opened.file);
        image.fileLength = opened.length;
        break;
    }
    return image;
}

} // namespace tavex
