#pragma once
// The module's configuration memory (the EEPROM block behind the area record
// ":0200000400F00A"): every setting's offset, size, encoding, the module
// types that have it and how the setup window lets it be typed. Reads,
// writes, setup archives and the factory window all look settings up here;
// multi-byte values are stored most significant byte first.
#include <array>
#include <cstdint>
#include <string_view>

namespace oxalis {

enum class Setting : std::uint8_t {
  StoredUserLevel,
  CanBitTiming,      // `BaudRateList`: three timing register bytes
  ModeByte,          // word 4 content, Skynam option, Intel order, message enables
  TransmitId1,       // `ID`(0)
  TransmitId2,       // `ID`(1)
  DisplayId,         // `ID`(2)
  SkynamId,          // `ID`(3)
  EcuId,             // `ID`(4)
  ProbeLoopP,        // factory: Tprop
  ProbeLoopI,        // factory: Tint
  StoichiometricRatio,  // `W_Stoichio`, ratio x 100
  FilterCoefficient,    // `Combo_Filtre`: 0, 8, 16, 64
  EcuProtocol,          // `ListeProtocoles`
  VoutInvalid,          // `Vout_NOT`, mV (backlight duty on the steering wheel)
  VoutProbeFault,       // `Vout_HS`, mV (night-mode duty on the steering wheel)
  VgndOffset,           // factory offsets
  VsOffset,
  VddOffset,
  RichnessInvalid,      // `Rich_NOT`, richness x 1000
  RichnessProbeFault,   // `Rich_HS`, richness x 1000
  WatchdogCounter,      // factory: "WDT_CNT"
  RpmThreshold,         // `RPM_threshold`, raw units of CAN channel 1
  HeaterTimeout,        // `Heater_Timeout`, seconds
  HeaterFlags,          // bit 0 `Check_Heater`, bit 1 `Check_WarmInit`
};

enum class Encoding : std::uint8_t {
  Byte,      // one unsigned byte
  Word,      // unsigned 16-bit
  Timing,    // three timing bytes
  Flags,     // a byte of bits built from several inputs
  CanId,     // four bytes, see EncodeCanId
};

// Module types, by device code, as bits.
namespace modules {
inline constexpr std::uint8_t kOXL = 1;
inline constexpr std::uint8_t kOX2 = 2;
inline constexpr std::uint8_t kPNU = 4;
inline constexpr std::uint8_t kRMW = 8;
inline constexpr std::uint8_t kQTX = 16;
inline constexpr std::uint8_t kAll = kOXL | kOX2 | kPNU | kRMW | kQTX;
}  // namespace modules

constexpr std::uint8_t moduleBit(std::string_view deviceCode) {
  if (deviceCode == "OXL") return modules::kOXL;
  if (deviceCode == "OX2") return modules::kOX2;
  if (deviceCode == "PNU") return modules::kPNU;
  if (deviceCode == "RMW") return modules::kRMW;
  if (deviceCode == "QTX") return modules::kQTX;
  return 0;
}

// How a typed number is taken: above `max` the text becomes `maxText`, not
// above 0 it becomes "0"; written as value x `scale`, rounded to the nearest
// integer (a half to the even neighbour when `halfToEven`).
struct EntryRule {
  std::string_view maxText;
  double max = 0;
  double scale = 1;
  bool halfToEven = false;
};

struct ConfigEntry {
  Setting setting;
  std::uint8_t offset;
  std::uint8_t bytes;
  Encoding encoding;
  std::uint8_t moduleTypes;
  EntryRule rule;  // typed fields only
};

// clang-format off
inline constexpr std::array kConfigMap{
    ConfigEntry{Setting::StoredUserLevel,     0x0A, 1, Encoding::Byte,   modules::kAll, {}},
    ConfigEntry{Setting::CanBitTiming,        0x10, 3, Encoding::Timing, modules::kAll, {}},
    ConfigEntry{Setting::ModeByte,            0x13, 1, Encoding::Flags,  modules::kAll, {}},
    ConfigEntry{Setting::TransmitId1,         0x14, 4, Encoding::CanId,  modules::kAll, {}},
    ConfigEntry{Setting::TransmitId2,         0x18, 4, Encoding::CanId,  modules::kAll, {}},
    ConfigEntry{Setting::DisplayId,           0x1C, 4, Encoding::CanId,  modules::kAll, {}},
    ConfigEntry{Setting::SkynamId,            0x20, 4, Encoding::CanId,  modules::kAll, {}},
    ConfigEntry{Setting::EcuId,               0x24, 4, Encoding::CanId,  modules::kAll, {}},
    ConfigEntry{Setting::ProbeLoopP,          0x28, 1, Encoding::Byte,   modules::kAll, {}},
    ConfigEntry{Setting::ProbeLoopI,          0x2A, 1, Encoding::Byte,   modules::kAll, {}},
    ConfigEntry{Setting::StoichiometricRatio, 0x2C, 2, Encoding::Word,   modules::kAll, {"50", 50, 100, true}},
    ConfigEntry{Setting::FilterCoefficient,   0x2E, 1, Encoding::Byte,   modules::kAll, {}},
    ConfigEntry{Setting::EcuProtocol,         0x2F, 1, Encoding::Byte,   modules::kAll, {}},
    ConfigEntry{Setting::VoutInvalid,         0x30, 2, Encoding::Word,   modules::kAll & ~modules::kPNU, {"5000", 5000, 1, true}},
    ConfigEntry{Setting::VoutProbeFault,      0x32, 2, Encoding::Word,   modules::kAll & ~modules::kPNU, {"5000", 5000, 1, true}},
    ConfigEntry{Setting::VgndOffset,          0x34, 2, Encoding::Word,   modules::kAll, {}},
    ConfigEntry{Setting::VsOffset,            0x36, 2, Encoding::Word,   modules::kAll, {}},
    ConfigEntry{Setting::VddOffset,           0x38, 2, Encoding::Word,   modules::kAll, {}},
    ConfigEntry{Setting::RichnessInvalid,     0x3A, 2, Encoding::Word,   modules::kAll & ~(modules::kOXL | modules::kPNU), {"1.750", 1.75, 1000, true}},
    ConfigEntry{Setting::RichnessProbeFault,  0x3C, 2, Encoding::Word,   modules::kAll & ~(modules::kOXL | modules::kPNU), {"1.750", 1.75, 1000, true}},
    ConfigEntry{Setting::WatchdogCounter,     0x3E, 2, Encoding::Word,   modules::kAll, {}},
    ConfigEntry{Setting::RpmThreshold,        0x78, 2, Encoding::Word,   modules::kAll & ~modules::kPNU, {"65535", 65535, 1, false}},
    ConfigEntry{Setting::HeaterTimeout,       0x7A, 1, Encoding::Byte,   modules::kAll & ~modules::kPNU, {"255", 255, 1, false}},
    ConfigEntry{Setting::HeaterFlags,         0x7B, 1, Encoding::Flags,  modules::kAll & ~modules::kPNU, {}},
};
// clang-format on

constexpr const ConfigEntry& configEntry(Setting setting) {
  for (const ConfigEntry& entry : kConfigMap)
    if (entry.setting == setting) return entry;
  return kConfigMap.front();  // unreachable: every setting has its row (checked below)
}

constexpr std::uint8_t configOffset(Setting setting) { return configEntry(setting).offset; }

// The setting that starts at `offset`, if any.
constexpr const ConfigEntry* configEntryAt(std::uint8_t offset) {
  for (const ConfigEntry& entry : kConfigMap)
    if (entry.offset == offset) return &entry;
  return nullptr;
}

constexpr bool hasSetting(Setting setting, std::string_view deviceCode) {
  return (configEntry(setting).moduleTypes & moduleBit(deviceCode)) != 0;
}

namespace config_checks {
constexpr bool everySettingOnceInOrder() {
  for (std::size_t i = 0; i < kConfigMap.size(); ++i) {
    if (static_cast<std::size_t>(kConfigMap[i].setting) != i) return false;
    if (i > 0 && kConfigMap[i].offset < kConfigMap[i - 1].offset + kConfigMap[i - 1].bytes) return false;
  }
  return true;
}
static_assert(everySettingOnceInOrder(), "one row per setting, in offset order, none overlapping");
}  // namespace config_checks

// The received CAN channels (slots 1..4): identifier and byte positions.
constexpr std::uint8_t channelIdOffset(int slot) { return static_cast<std::uint8_t>(0x60 + 4 * (slot - 1)); }
constexpr std::uint8_t channelMsbOffset(int slot) { return static_cast<std::uint8_t>(0x70 + 2 * (slot - 1)); }
constexpr std::uint8_t channelLsbOffset(int slot) { return static_cast<std::uint8_t>(0x71 + 2 * (slot - 1)); }
inline constexpr int kModuleCanChannels = 4;

// The display's channel records (slots 1..5), 16 bytes each.
struct DisplayRecordField {
  std::uint8_t offset;  // within the record
  std::uint8_t bytes;
};
namespace display_record {
inline constexpr DisplayRecordField kA{0x0, 2}, kB{0x2, 2}, kC{0x4, 2}, kD{0x6, 2};
inline constexpr DisplayRecordField kDec{0x8, 1}, kMin{0x9, 2}, kMax{0xB, 2}, kMap{0xD, 1};
}  // namespace display_record
constexpr std::uint8_t displayRecordOffset(int slot, DisplayRecordField field) {
  return static_cast<std::uint8_t>(0x90 + 16 * (slot - 1) + field.offset);
}
inline constexpr int kDisplayChannelRecords = 5;

}  // namespace oxalis
