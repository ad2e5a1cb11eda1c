// Arbitrary file bytes through the record reader and the directive parser,
// as both machines read an image: no crash, no sanitizer report, and never
// a byte counted that the file does not hold.

#include "image/file_kind.h"
#include "image/image_scan.h"
#include "image/memory_byte_source.h"

#include <cstdlib>

namespace {

void ScanAs(tavex::FileKind fileKind, std::span<const std::uint8_t> bytes, std::int32_t keyboardHardware)
{
    tavex::MemoryByteSource source(bytes);
    tavex::ImageCursor cursor{&source, bytes.size(), 0, 0, "fuzz.s20"};
    const tavex::ScanPass pass =
        fileKind == tavex::FileKind::S19 ? tavex::ScanS19(cursor, keyboardHardware) : tavex::ScanS20(cursor, keyboardHardware);
    if (cursor.bytesRead > cursor.fileLength || pass.passes == !pass.message.empty() ||
        (pass.passes && cursor.bytesRead != cursor.fileLength)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    // The first byte picks the keyboard's hardware version; the rest is the file.
    const std::int32_t keyboardHardware = data[0];
    const std::span<const std::uint8_t> file(data + 1, size - 1);
    ScanAs(tavex::FileKind::S19, file, keyboardHardware % 2);
    ScanAs(tavex::FileKind::S20, file, keyboardHardware);
    return 0;
}
