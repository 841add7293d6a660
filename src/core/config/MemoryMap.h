#pragma once
// Where the module keeps its settings: offsets in its configuration memory
// (read with ReadParams, written with WriteParams after the EEPROM area
// record) and addresses in its program memory. The settings of the
// configuration memory have their home in the table of ConfigMap.h.
#include <cstdint>

#include "config/ConfigMap.h"

namespace oxalis::memory_map {

// Configuration memory (EEPROM), byte offsets.
inline constexpr std::uint8_t kIdentityBlock = 0x04;      // serial number, hardware and software versions
inline constexpr std::uint8_t kStoredUserLevel = configOffset(Setting::StoredUserLevel);  // 1..4, else Basic
inline constexpr std::uint8_t kDisplayBrightness = 0x0B;  // display: 1 = Auto, 2..5
inline constexpr std::uint8_t kDisplayChannel = 0x0C;     // display: quantity shown, 0..11
inline constexpr std::uint8_t kDisplayFuelType = 0x0D;    // display: 0 gasoline, 1 diesel
inline constexpr std::uint8_t kProbeLoopP = configOffset(Setting::ProbeLoopP);
inline constexpr std::uint8_t kProbeLoopI = configOffset(Setting::ProbeLoopI);
inline constexpr std::uint8_t kStoichiometricRatio = configOffset(Setting::StoichiometricRatio);
inline constexpr std::uint8_t kVgndOffset = configOffset(Setting::VgndOffset);
inline constexpr std::uint8_t kVsOffset = configOffset(Setting::VsOffset);
inline constexpr std::uint8_t kVddOffset = configOffset(Setting::VddOffset);

// Reload groups: the module takes a group of written settings over at once.
inline constexpr std::uint8_t kReloadDisplay = 5;

// Program memory, addresses.
inline constexpr std::uint16_t kBootloaderVersion = 0x0050;  // 1 byte: version x 10, erased = 1.0
inline constexpr std::uint16_t kOutputTablesFirst = 0x0E00;
inline constexpr std::uint16_t kOutputTablesLast = 0x0F3F;
inline constexpr std::uint16_t kUserCodeBase = 0x1000;  // + serial number: 2 bytes, the user-code identifier

}  // namespace oxalis::memory_map
