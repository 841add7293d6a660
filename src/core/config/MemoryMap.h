#pragma once
// Where the module keeps its settings: offsets in its configuration memory
// (read with ReadParams, written with WriteParams after the EEPROM area
// record) and addresses in its program memory. The one home of these
// numbers; the setup window's table of fields extends it.
#include <cstdint>

namespace oxalis::memory_map {

// Configuration memory (EEPROM), byte offsets.
inline constexpr std::uint8_t kIdentityBlock = 0x04;      // serial number, hardware and software versions
inline constexpr std::uint8_t kStoredUserLevel = 0x0A;    // 1 byte: 1..4, anything else is Basic
inline constexpr std::uint8_t kDisplayBrightness = 0x0B;  // display: 1 = Auto, 2..5
inline constexpr std::uint8_t kDisplayChannel = 0x0C;     // display: quantity shown, 0..11
inline constexpr std::uint8_t kDisplayFuelType = 0x0D;    // display: 0 gasoline, 1 diesel
inline constexpr std::uint8_t kProbeLoopP = 0x28;         // 1 byte: Tprop
inline constexpr std::uint8_t kProbeLoopI = 0x2A;         // 1 byte: Tint
inline constexpr std::uint8_t kStoichiometricRatio = 0x2C;  // 2 bytes: ratio x 100
inline constexpr std::uint8_t kVgndOffset = 0x34;         // 2 bytes
inline constexpr std::uint8_t kVsOffset = 0x36;           // 2 bytes
inline constexpr std::uint8_t kVddOffset = 0x38;          // 2 bytes

// Reload groups: the module takes a group of written settings over at once.
inline constexpr std::uint8_t kReloadDisplay = 5;

// Program memory, addresses.
inline constexpr std::uint16_t kBootloaderVersion = 0x0050;  // 1 byte: version x 10, erased = 1.0
inline constexpr std::uint16_t kOutputTablesFirst = 0x0E00;
inline constexpr std::uint16_t kOutputTablesLast = 0x0F3F;
inline constexpr std::uint16_t kUserCodeBase = 0x1000;  // + serial number: 2 bytes, the user-code identifier

}  // namespace oxalis::memory_map
