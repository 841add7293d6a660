#pragma once
// A firmware file: Intel HEX lines, which are already records of the link's
// own format and go to the module's bootloader one by one. A file is checked
// whole when it is chosen, so that a damaged or truncated file is refused
// before a single line reaches a module that could be left without a
// working program.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oxalis {

// Program memory the link addresses: 16-bit addresses below the upper
// address 0x0000.
inline constexpr std::uint32_t kProgramMemoryEnd = 0x10000;

struct FirmwareLine {
  std::string text;       // the record, as it stands in the file
  std::size_t endOffset;  // file position after the line (and its line end)
  int lineNumber;         // 1 for the first line of the file
};

struct FirmwareFile {
  std::vector<FirmwareLine> lines;  // the records; blank lines are left out
  std::size_t size = 0;             // bytes in the file
  // The first data byte of the first record at 0x0050, the bootloader
  // version the file brings (tenths); 0 when it holds none.
  std::uint8_t bootloaderVersion = 0;
};

struct FirmwareFileCheck {
  std::optional<FirmwareFile> file;
  std::string error;  // "line 12: ...", when refused
};

// Reads and checks the whole file: every line a well-formed record (":",
// hex digits, its length, its checksum), of a type a bootloader takes, with
// its bytes inside program memory, and an end record after which no record
// follows.
FirmwareFileCheck ReadFirmwareFile(std::string_view bytes);

// The end record the newer bootloaders want in place of the file's own: it
// carries the sum of the checksum bytes of the records sent.
std::string EndRecordWithChecksum(std::uint8_t checksumSum);

// The value of a record's checksum byte (its last two characters).
std::uint8_t RecordChecksumByte(std::string_view record);

}  // namespace oxalis
