#include "sim/FirmwareImage.h"

#include <algorithm>

#include "link/RecordCodec.h"

namespace oxalis::sim {

namespace {

constexpr std::size_t kLineBytes = 16;

// The filler byte at an address: varies along the line and from line to line.
std::uint8_t PatternByte(std::size_t address) {
  return static_cast<std::uint8_t>((address * 7 + (address >> 8) * 13 + 0x5A) & 0xFF);
}

void AddLine(std::string& file, std::uint8_t type, std::uint16_t address, std::string_view data) {
  file += BuildRecord(type, address, data);
  file += "\r\n";
}

// Data records over [begin, end), 16 bytes each, the first line starting at
// `begin` whatever its alignment.
void AddData(std::string& file, std::size_t begin, std::size_t end, const std::string& memory) {
  for (std::size_t at = begin; at < end; at += kLineBytes) {
    const std::size_t count = std::min(kLineBytes, end - at);
    AddLine(file, record_type::kData, static_cast<std::uint16_t>(at), std::string_view(memory).substr(at, count));
  }
}

}  // namespace

std::string MakeFirmwareImage(const FirmwareImageOptions& options) {
  const std::size_t firmwareBytes = std::min(options.firmwareBytes, kMaxFirmwareBytes);
  const std::size_t end = prog::kFirmwareStart + firmwareBytes;
  std::string memory(end, '\0');
  for (std::size_t a = 0; a < end; ++a) memory[a] = static_cast<char>(PatternByte(a));
  if (options.bootloaderVersion) memory[prog::kBootloaderVersion] = static_cast<char>(*options.bootloaderVersion);
  if (firmwareBytes >= 2) {
    memory[prog::kFirmwareVersion] = static_cast<char>(options.firmwareMajor);
    memory[prog::kFirmwareVersion + 1] = static_cast<char>(options.firmwareMinor);
  }

  std::string file;
  AddLine(file, record_type::kExtendedAddress, 0, std::string("\0\0", 2));
  if (options.bootloaderVersion) {
    AddData(file, 0, prog::kBootloaderVersion, memory);
    AddData(file, prog::kBootloaderVersion, prog::kBootloaderVersion + 2, memory);
    // Back on the 16-byte grid after the version record.
    AddData(file, prog::kBootloaderVersion + 2, 0x0060, memory);
    AddData(file, 0x0060, prog::kFirmwareStart, memory);
  }
  AddData(file, prog::kFirmwareStart, end, memory);
  file += ":00000001FF\r\n";
  return file;
}

}  // namespace oxalis::sim
