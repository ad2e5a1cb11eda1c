#include "image_file.h"

#include "synthetic_image.h"

#include <algorithm>
#include <fstream>

namespace tavex::bench {

namespace {

constexpr std::uint64_t kPieceBytes = 1024 * 1024;

} // namespace

std::optional<std::uint64_t> WriteS19Image(const std::string& path, std::uint64_t textBytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string endLine = EndOfTableLine();
    std::uint64_t budget = textBytes - endLine.size();
    std::uint64_t written = 0;
    WriteBlockLines lines;
    std::string piece;
    piece.reserve(kPieceBytes);
    while (file && budget >= WriteBlockLines::LineSize()) {
        piece.clear();
        const std::size_t appended = lines.AppendWithin(piece, std::min(budget, kPieceBytes));
        file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        budget -= appended;
        written += appended;
    }
    file << endLine;
    file.close();
    if (!file) {
        return std::nullopt;
    }
    return written + endLine.size();
}

} // namespace tavex::bench
