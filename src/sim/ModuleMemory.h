#pragma once
// The two memories of a simulated module and what they hold when it leaves
// the factory.
//
// Configuration memory: 256 bytes of EEPROM, selected by the area record with
// upper address 0x00F0 and addressed by 8-bit offsets. Multi-byte values are
// stored most significant byte first. Bytes no setting uses read 0xFF, as
// erased EEPROM does.
//
// Program memory: 64 KiB addressed by 16 bits, selected by the area record
// with upper address 0x0000. Erased flash reads 0xFF. It holds the bootloader
// version at 0x0050, the firmware version at 0x0800, the user-code identifier at 0x1000 + serial number and
// the output tables at 0x0E00-0x0F3F (words stored low byte first).
#include <array>
#include <cstdint>
#include <vector>

#include "sim/SimOptions.h"

namespace oxalis::sim {

using ConfigurationMemory = std::array<std::uint8_t, 256>;
using ProgramMemory = std::vector<std::uint8_t>;

inline constexpr std::size_t kProgramMemorySize = 0x10000;

// Offsets in configuration memory.
namespace cfg {
inline constexpr std::uint8_t kIdentity = 0x04;           // serial (2), HW, HW minor, SW, SW minor
inline constexpr std::uint8_t kDisplayBrightness = 0x0B;  // PNU: 1 = Auto, 2..5 = 25..100 %
inline constexpr std::uint8_t kUserLevel = 0x0A;
inline constexpr std::uint8_t kDisplayChannel = 0x0C;   // PNU: quantity shown, 0..11
inline constexpr std::uint8_t kDisplayFuelType = 0x0D;  // PNU: 0 gasoline, 1 diesel
inline constexpr std::uint8_t kCanBitTiming = 0x10;
inline constexpr std::uint8_t kModeByte = 0x13;
inline constexpr std::uint8_t kMessageIds = 0x14;    // five 4-byte identifiers
inline constexpr std::uint8_t kProbeLoopP = 0x28;    // Tprop (PNU: left threshold)
inline constexpr std::uint8_t kProbeLoopAux = 0x29;  // PNU: right threshold
inline constexpr std::uint8_t kProbeLoopI = 0x2A;    // Tint (PNU: iterations)
inline constexpr std::uint8_t kStoichRatio = 0x2C;
inline constexpr std::uint8_t kFilter = 0x2E;
inline constexpr std::uint8_t kEcuProtocol = 0x2F;
inline constexpr std::uint8_t kVoutInvalid = 0x30;
inline constexpr std::uint8_t kVoutProbeFault = 0x32;
inline constexpr std::uint8_t kVgndOffset = 0x34;
inline constexpr std::uint8_t kVsOffset = 0x36;
inline constexpr std::uint8_t kVddOffset = 0x38;
inline constexpr std::uint8_t kRichInvalid = 0x3A;
inline constexpr std::uint8_t kRichProbeFault = 0x3C;
inline constexpr std::uint8_t kWatchdogCount = 0x3E;
inline constexpr std::uint8_t kTimeSet = 0x40;       // 4 bytes, hundredths of a second
inline constexpr std::uint8_t kTimeCounter = 0x44;   // 4 bytes, the running counter
inline constexpr std::uint8_t kCanGridIds = 0x60;    // four 4-byte identifiers
inline constexpr std::uint8_t kCanGridBytes = 0x70;  // MSB, LSB position per channel
inline constexpr std::uint8_t kRpmThreshold = 0x78;
inline constexpr std::uint8_t kHeaterTimeout = 0x7A;
inline constexpr std::uint8_t kHeaterFlags = 0x7B;
inline constexpr std::uint8_t kChannelRecords = 0x90;  // five records of 16 bytes
inline constexpr int kChannelRecordSize = 16;
}  // namespace cfg

// Addresses in program memory.
namespace prog {
inline constexpr std::uint16_t kBootloaderVersion = 0x0050;
// Firmware code starts here; the bootloader occupies the memory below. The
// firmware's version is its first two bytes: major, then minor.
inline constexpr std::uint16_t kFirmwareStart = 0x0800;
inline constexpr std::uint16_t kFirmwareVersion = kFirmwareStart;
inline constexpr std::uint16_t kUserCodeBase = 0x1000;
inline constexpr std::uint16_t kOutputTables = 0x0E00;
inline constexpr std::uint16_t kOutputTablesEnd = 0x0F40;
}  // namespace prog

// Factory output curve of the lambda controller: richness x 1000 and the
// output voltage in mV, 32 points.
extern const std::array<std::int16_t, 32> kDefaultCurveIn;
extern const std::array<std::int16_t, 32> kDefaultCurveOut;

ConfigurationMemory DefaultConfiguration(const SimOptions& options);
ProgramMemory DefaultProgramMemory(const SimOptions& options);

// Small readers and writers for the stored forms.
std::uint16_t ReadWordBigEndian(const ConfigurationMemory& memory, std::uint8_t offset);
void WriteWordBigEndian(ConfigurationMemory& memory, std::uint8_t offset, std::uint16_t value);
std::uint32_t ReadLongBigEndian(const ConfigurationMemory& memory, std::uint8_t offset);
void WriteLongBigEndian(ConfigurationMemory& memory, std::uint8_t offset, std::uint32_t value);
std::int16_t ReadWordLowFirst(const ProgramMemory& memory, std::uint16_t address);

}  // namespace oxalis::sim
