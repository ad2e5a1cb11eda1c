#include "session/image_file_checks.h"

#include "image/memory_byte_source.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

// Answers every open with one status and remembers the path asked for.
class FakeImageFiles final : public IImageFiles {
public:
    explicit FakeImageFiles(OpenedFile::Status status) : status_(status) {}
    OpenedFile Open(const std::string& path) override
    {
        askedFor = path;
        OpenedFile opened;
        opened.status = status_;
        if (status_ == OpenedFile::Status::Opened) {
            opened.file = std::make_unique<MemoryByteSource>(std::span<const std::uint8_t>());
            opened.length = 0;
        }
        return opened;
    }
    std::string askedFor;

private:
    OpenedFile::Status status_;
};

struct NameCase {
    const char* typed;
    FileKind fileKind;  // None: refused
    const char* message;
};

TEST(ImageName, AcceptsS19AndS20InAnyCaseAndQuotesRefusedNamesAsTyped)
{
    const std::string noExtension = "Error: The file \"%\" does not have an .s19 or .s20 extension.";
    for (const NameCase c : {
             NameCase{"FIRMWARE.S19", FileKind::S19, ""},
             NameCase{"dir/Tables.s20", FileKind::S20, ""},
             NameCase{"image.s19x", FileKind::S19, ""},  // the extension is at most three characters
             NameCase{"", FileKind::None,
                      "Error: A download operation can not be peformed until a valid .s19 or .s20 filename has been "
                      "specified."},
             NameCase{"Image.S19.bak", FileKind::None, "Error: The file \"Image.S19.bak\" does not have an .s19 or .s20 extension."},
             NameCase{"FIRMWARE", FileKind::None, "Error: The file \"FIRMWARE\" does not have an .s19 or .s20 extension."},
             NameCase{"image.s", FileKind::None, "Error: The file \"image.s\" does not have an .s19 or .s20 extension."},
             NameCase{"image.s1", FileKind::None, "Error: The file \"image.s1\" does not have an .s19 or .s20 extension."},
         }) {
        const ImageName name = CheckImageName(c.typed);
        EXPECT_EQ(name.accepted, c.fileKind != FileKind::None) << c.typed;
        EXPECT_EQ(name.fileKind, c.fileKind) << c.typed;
        EXPECT_EQ(name.message, c.message) << c.typed;
    }
}

TEST(OpenImage, QuotesTheTypedNameWhenMissingAndTheLowerCasedNameAfterwards)
{
    struct Case {
        OpenedFile::Status status;
        const char* message;
    };
    for (const Case c : {
             Case{OpenedFile::Status::NotFound, "Error: The file \"Dir/FW.S19\" could not be found."},
             Case{OpenedFile::Status::CannotOpen,
                  "An error occurred while trying to open \"dir/fw.s19\".\n\nMake sure this file has not been opened "
                  "by another application."},
             Case{OpenedFile::Status::LengthUnknown, "An error occurred while accessing \"dir/fw.s19\"."},
             Case{OpenedFile::Status::Opened, ""},
         }) {
        FakeImageFiles files(c.status);
        const OpenedImage image = OpenImage(files, "Dir/FW.S19");
        EXPECT_EQ(files.askedFor, "Dir/FW.S19");
        EXPECT_EQ(image.message, c.message);
        EXPECT_EQ(image.imageFile != nullptr, c.status == OpenedFile::Status::Opened);
    }
}

TEST(OpenImage, AsksForNoFileWhenTheNameIsRefused)
{
    FakeImageFiles files(OpenedFile::Status::Opened);
    const OpenedImage image = OpenImage(files, "notes.txt");
    EXPECT_EQ(files.askedFor, "");
    EXPECT_EQ(image.imageFile, nullptr);
}

} // namespace
} // namespace tavex
