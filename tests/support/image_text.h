#pragma once

// Builders for small images in tests: record lines with correct checksums.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tavex::test {

// TYPE + length + bytes + checksum, without a line end.
std::string RecordLine(const std::string& type, const std::vector<std::uint8_t>& bytes);

std::string FlashSectorLine(std::uint8_t sector);
std::string WriteBlockLine(std::uint32_t address, const std::vector<std::uint8_t>& data);
std::string EndOfTableLine();

// The lines, each followed by CR LF.
std::string Lines(std::initializer_list<std::string> lines);

std::vector<std::uint8_t> Bytes(const std::string& text);

} // namespace tavex::test
