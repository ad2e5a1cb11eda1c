#pragma once

// The keyboard's flash as the bootloader leaves it: the sectors erased, the
// bytes written into its 24-bit address space and the tables ended. Sector
// geometry is not modelled, so erasing a sector records its number and
// leaves the bytes written so far in place.

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <span>

namespace tavex {

class SimulatedFlash {
public:
    void EraseSector(std::uint8_t sector);

    // Addresses past 0xFFFFFF wrap to 0, as a 24-bit address counter does.
    void WriteBlock(std::uint32_t address, std::span<const std::uint8_t> data);

    void EndTable();

    const std::map<std::uint32_t, std::uint8_t>& Bytes() const { return bytes_; }
    const std::set<std::uint8_t>& ErasedSectors() const { return erasedSectors_; }
    std::uint64_t SectorErases() const { return sectorErases_; }
    std::uint64_t BlocksWritten() const { return blocksWritten_; }
    std::uint64_t TablesEnded() const { return tablesEnded_; }

    // FNV-1a 64 over the written bytes in address order, the erased sectors
    // and the number of tables; two flashes with the same contents have the
    // same digest whatever order they were written in.
    std::uint64_t Digest() const;

    // A readable hex listing: the counts, then 16 bytes a row for every row
    // holding a written byte, "--" for the bytes never written.
    void WriteListing(std::ostream& out) const;

private:
    std::map<std::uint32_t, std::uint8_t> bytes_;
    std::set<std::uint8_t> erasedSectors_;
    std::uint64_t sectorErases_ = 0;
    std::uint64_t blocksWritten_ = 0;
    std::uint64_t tablesEnded_ = 0;
};

} // namespace tavex
