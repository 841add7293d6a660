#pragma once
// Firmware files for the simulated module: Intel-HEX-shaped text whose lines
// are records of the link's own format (":" LL AAAA TT data CC), as the
// firmware window sends them to the module's bootloader.
//
// Layout of a file:
//  - ":020000040000FA" (program memory) first.
//  - With a bootloader part: the bytes 0x0000-0x07FF. The bootloader version
//    byte sits at 0x0050 in a two-byte data record of its own
//    (":02005000" VV xx CC), which is how the tool finds it in a file.
//  - The firmware code from 0x0800 (its first line starts ":10080000", which
//    marks the end of the bootloader part). The firmware's version is the
//    first two bytes of the code: major at 0x0800, minor at 0x0801. The
//    simulated module reads it from there after a successful update.
//  - ":00000001FF" last.
// Data records hold 16 bytes, except around 0x0050 and at the very end.
// Lines end with CR LF. The other bytes follow a fixed pattern of their
// address, so equal options give equal files.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "sim/ModuleMemory.h"

namespace oxalis::sim {

// The largest firmware: program memory from 0x0800 to its end.
inline constexpr std::size_t kMaxFirmwareBytes = kProgramMemorySize - prog::kFirmwareStart;

struct FirmwareImageOptions {
  // Bytes of firmware code from 0x0800, at most kMaxFirmwareBytes. Fewer
  // than 2 leave the version out (the module then keeps its old one).
  std::size_t firmwareBytes = 32 * 1024;
  std::uint8_t firmwareMajor = 1;
  std::uint8_t firmwareMinor = 0;
  // Set: the file holds a bootloader part with this version byte at 0x0050
  // (in tenths: 13 is 1.3).
  std::optional<std::uint8_t> bootloaderVersion{};
};

// The whole file text.
std::string MakeFirmwareImage(const FirmwareImageOptions& options);

}  // namespace oxalis::sim
