#include "flash/simulated_flash.h"

#include <cstdio>
#include <string>

namespace tavex {

namespace {

constexpr std::uint32_t kAddressMask = 0xFFFFFF;
constexpr std::uint32_t kRowLength = 16;

class Fnv1a64 {
public:
    // Little-endian, `width` bytes of `value`.
    void Add(std::uint64_t value, int width)
    {
        for (int i = 0; i < width; ++i) {
            state_ = (state_ ^ ((value >> (8 * i)) & 0xFFU)) * kPrime;
        }
    }
    std::uint64_t Value() const { return state_; }

private:
    static constexpr std::uint64_t kPrime = 0x100000001B3ULL;
    std::uint64_t state_ = 0xCBF29CE484222325ULL;
};

std::string Hex(std::uint64_t value, int digits)
{
    char text[17];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

void WriteRow(std::ostream& out, std::uint32_t rowStart, const std::map<std::uint32_t, std::uint8_t>& bytes)
{
    out << Hex(rowStart, 6) << ' ';
    for (std::uint32_t address = rowStart; address < rowStart + kRowLength; ++address) {
        const auto found = bytes.find(address);
        out << ' ' << (found == bytes.end() ? std::string("--") : Hex(found->second, 2));
    }
    out << '\n';
}

} // namespace

void SimulatedFlash::EraseSector(std::uint8_t sector)
{
    erasedSectors_.insert(sector);
    ++sectorErases_;
}

void SimulatedFlash::WriteBlock(std::uint32_t address, std::span<const std::uint8_t> data)
{
    for (std::size_t i = 0; i < data.size(); ++i) {
        bytes_[(address + static_cast<std::uint32_t>(i)) & kAddressMask] = data[i];
    }
    ++blocksWritten_;
}

void SimulatedFlash::EndTable() { ++tablesEnded_; }

std::uint64_t SimulatedFlash::Digest() const
{
    // Each part is preceded by its length, so bytes cannot pass for sectors.
    Fnv1a64 hash;
    hash.Add(bytes_.size(), 4);
    for (const auto& [address, value] : bytes_) {
        hash.Add(address, 3);
        hash.Add(value, 1);
    }
    hash.Add(erasedSectors_.size(), 2);
    for (std::uint8_t sector : erasedSectors_) {
        hash.Add(sector, 1);
    }
    hash.Add(tablesEnded_, 4);
    return hash.Value();
}

void SimulatedFlash::WriteListing(std::ostream& out) const
{
    out << "digest " << Hex(Digest(), 16) << '\n';
    out << "erased sectors:";
    for (std::uint8_t sector : erasedSectors_) {
        out << ' ' << int{sector};
    }
    out << "\ntables ended: " << tablesEnded_ << '\n';
    out << "written bytes: " << bytes_.size() << '\n';
    out << "address ";
    for (std::uint32_t column = 0; column < kRowLength; ++column) {
        out << " +" << Hex(column, 1);
    }
    out << '\n';
    for (auto next = bytes_.begin(); next != bytes_.end();) {
        const std::uint32_t rowStart = next->first - next->first % kRowLength;
        WriteRow(out, rowStart, bytes_);
        next = bytes_.lower_bound(rowStart + kRowLength);
    }
}

} // namespace tavex
