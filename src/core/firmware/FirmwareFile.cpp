#include "firmware/FirmwareFile.h"

#include "link/RecordCodec.h"

namespace oxalis {

namespace {

constexpr std::uint8_t kEndOfFile = 0x01;
constexpr std::uint8_t kExtendedSegment = 0x02;
constexpr std::uint8_t kStartSegment = 0x03;
constexpr std::uint8_t kStartLinear = 0x05;

// What is wrong with one record, or nothing.
std::optional<std::string> checkRecord(std::string_view line, std::uint32_t& upper, std::vector<std::uint8_t>& data,
                                       std::uint8_t& type, std::uint16_t& address) {
  if (line.front() != ':') return "does not begin with \":\"";
  if (line.size() < 11) return "too short for a record";
  if ((line.size() - 1) % 2 != 0) return "an odd number of hex digits";
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 1; i < line.size(); i += 2) {
    const int high = HexDigitValue(line[i]);
    const int low = HexDigitValue(line[i + 1]);
    if (high < 0 || low < 0) return "\"" + std::string(line.substr(i, 2)) + "\" is not a hex byte";
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  const std::size_t length = bytes[0];
  if (bytes.size() != length + 5)
    return "says " + std::to_string(length) + " data bytes but holds " + std::to_string(bytes.size() - 5);
  unsigned sum = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) sum += bytes[i];
  const unsigned expected = (0x100 - (sum & 0xFF)) & 0xFF;
  if (bytes.back() != expected) return "checksum " + HexByte(bytes.back()) + " where the bytes give " + HexByte(expected);
  address = static_cast<std::uint16_t>(bytes[1] << 8 | bytes[2]);
  type = bytes[3];
  data.assign(bytes.begin() + 4, bytes.end() - 1);
  switch (type) {
    case record_type::kData:
      if (upper != 0 || address + length > kProgramMemoryEnd) return "bytes outside the module's program memory";
      return std::nullopt;
    case kEndOfFile:
      return std::nullopt;
    case record_type::kExtendedAddress:
    case kExtendedSegment:
      if (length != 2) return "an address record without its two bytes";
      upper = static_cast<std::uint32_t>(data[0] << 8 | data[1]);
      return std::nullopt;
    case kStartSegment:
    case kStartLinear:
      return std::nullopt;
    default:
      return "record type " + HexByte(type) + ", which no bootloader takes";
  }
}

}  // namespace

FirmwareFileCheck ReadFirmwareFile(std::string_view bytes) {
  FirmwareFile file;
  file.size = bytes.size();
  std::uint32_t upper = 0;
  bool ended = false;
  bool versionSeen = false;
  int lineNumber = 0;
  for (std::size_t start = 0; start < bytes.size();) {
    std::size_t end = bytes.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++lineNumber;
    start = next;
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    const auto refuse = [&](const std::string& why) {
      return FirmwareFileCheck{std::nullopt, "line " + std::to_string(lineNumber) + ": " + why};
    };
    if (ended) return refuse("a record after the end record");
    std::vector<std::uint8_t> data;
    std::uint8_t type = 0;
    std::uint16_t address = 0;
    if (const std::optional<std::string> fault = checkRecord(line, upper, data, type, address)) return refuse(*fault);
    if (type == kEndOfFile) ended = true;
    // The first two-byte record at 0x0050 brings the bootloader version.
    if (!versionSeen && line.find(":02005000") != std::string_view::npos) {
      versionSeen = true;
      file.bootloaderVersion = data[0];
    }
    file.lines.push_back({std::string(line), next, lineNumber});
  }
  if (!ended)
    return {std::nullopt, "line " + std::to_string(lineNumber) + ": the file ends without its end record (truncated?)"};
  return {std::move(file), {}};
}

std::string EndRecordWithChecksum(std::uint8_t checksumSum) {
  // An end-of-file record whose address carries the sum.
  return BuildRecord(0x01, checksumSum, {});
}

std::uint8_t RecordChecksumByte(std::string_view record) {
  return record.size() < 2 ? 0 : HexToByte(record.substr(record.size() - 2));
}

}  // namespace oxalis
