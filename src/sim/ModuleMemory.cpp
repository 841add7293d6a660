#include "sim/ModuleMemory.h"

namespace oxalis::sim {

const std::array<std::int16_t, 32> kDefaultCurveIn = {1,    50,   100,  150,  200,  250,  300,  350,  400,  450,  500,
                                                      550,  600,  650,  700,  750,  800,  850,  900,  950,  1000, 1050,
                                                      1100, 1150, 1200, 1250, 1300, 1350, 1400, 1450, 1500, 1755};
const std::array<std::int16_t, 32> kDefaultCurveOut = {4702, 4576, 4449, 4324, 4201, 4080, 3961, 3844, 3729, 3616, 3504,
                                                       3395, 3288, 3183, 3079, 2978, 2879, 2781, 2686, 2592, 2500, 2303,
                                                       2107, 1914, 1725, 1540, 1360, 1185, 1014, 850,  693,  4};

namespace {

// A received CAN channel as the module stores it: conversion coefficients,
// decimals, scale and map byte. The physical value is (A raw + B) / (C raw + D).
struct ChannelRecord {
  std::int16_t a, b, c, d;
  std::uint8_t decimals;
  std::int16_t minScaled, maxScaled;  // scale times 10^decimals
  std::uint8_t map;
};

// Engine speed (rpm), throttle (0.1 %), coolant temperature (raw = degrees C
// + 40), manifold pressure (0.1 kPa), and the display's analogue input (mV).
constexpr std::array<ChannelRecord, 5> kChannels = {{
    {1, 0, 0, 1, 0, 0, 8000, 0},
    {1, 0, 0, 10, 1, 0, 1000, 0},
    {1, -40, 0, 1, 0, -40, 150, 0},
    {1, 0, 0, 10, 1, 0, 2500, 0},
    {1, 0, 0, 1, 0, -100, 5100, 0},
}};

// Identifiers of the four received channels and of the transmitted messages
// (11-bit ones as their value; the ECU identifier is a 29-bit one).
constexpr std::array<std::uint32_t, 4> kGridIds = {0x100, 0x101, 0x102, 0x103};
constexpr std::uint32_t kId1 = 0x200, kId2 = 0x204, kIdDisplay = 0x208;
constexpr std::uint32_t kSkynamId = 0x80000000u | 0x005AFF00u;
constexpr std::uint32_t kEcuId = 0x80000000u | 0x00000400u;

void WriteIdentity(ConfigurationMemory& m, ModuleType type, const SimOptions& options) {
  const ModuleVersion v = options.version.value_or(DefaultVersion(type));
  WriteWordBigEndian(m, cfg::kIdentity, options.serial);
  m[cfg::kIdentity + 2] = v.hwMajor;
  m[cfg::kIdentity + 3] = type == ModuleType::Oxl ? 0 : v.hwMinor;
  m[cfg::kIdentity + 4] = v.fwMajor;
  if (type != ModuleType::Oxl) m[cfg::kIdentity + 5] = v.fwMinor;
}

void WriteCanSetup(ConfigurationMemory& m, ModuleType type) {
  // An 11-bit identifier sits in the upper half of the field on OXL.
  const auto standardId = [type](std::uint32_t id) { return type == ModuleType::Oxl ? id << 16 : id; };
  m[cfg::kCanBitTiming] = 0x01;  // 500 kbit/s
  m[cfg::kCanBitTiming + 1] = 0xB5;
  m[cfg::kCanBitTiming + 2] = 0x05;
  m[cfg::kModeByte] = 0x61;  // word 4 richness, user configuration, messages 1 and 2 enabled
  WriteLongBigEndian(m, cfg::kMessageIds, standardId(kId1));
  WriteLongBigEndian(m, cfg::kMessageIds + 4, standardId(kId2));
  WriteLongBigEndian(m, cfg::kMessageIds + 8, standardId(kIdDisplay));
  WriteLongBigEndian(m, cfg::kMessageIds + 12, kSkynamId);
  WriteLongBigEndian(m, cfg::kMessageIds + 16, kEcuId);
  for (std::size_t n = 0; n < kGridIds.size(); ++n) {
    WriteLongBigEndian(m, static_cast<std::uint8_t>(cfg::kCanGridIds + 4 * n), standardId(kGridIds[n]));
    m[cfg::kCanGridBytes + 2 * n] = 1;      // most significant byte of the value
    m[cfg::kCanGridBytes + 2 * n + 1] = 2;  // least significant byte
  }
  for (std::size_t n = 0; n < kChannels.size(); ++n) {
    const ChannelRecord& c = kChannels[n];
    const auto base = static_cast<std::uint8_t>(cfg::kChannelRecords + cfg::kChannelRecordSize * n);
    WriteWordBigEndian(m, base, static_cast<std::uint16_t>(c.a));
    WriteWordBigEndian(m, base + 2, static_cast<std::uint16_t>(c.b));
    WriteWordBigEndian(m, base + 4, static_cast<std::uint16_t>(c.c));
    WriteWordBigEndian(m, base + 6, static_cast<std::uint16_t>(c.d));
    m[base + 8] = c.decimals;
    WriteWordBigEndian(m, base + 9, static_cast<std::uint16_t>(c.minScaled));
    WriteWordBigEndian(m, base + 11, static_cast<std::uint16_t>(c.maxScaled));
    m[base + 13] = c.map;
  }
}

void WriteOutputSetup(ConfigurationMemory& m, ModuleType type) {
  if (type == ModuleType::Pnu) return;
  if (type == ModuleType::Rmw) {
    WriteWordBigEndian(m, cfg::kVoutInvalid, 80);     // backlight LED duty cycle, %
    WriteWordBigEndian(m, cfg::kVoutProbeFault, 20);  // night-mode LED duty cycle, %
  } else {
    WriteWordBigEndian(m, cfg::kVoutInvalid, 2500);
    WriteWordBigEndian(m, cfg::kVoutProbeFault, 100);
  }
  if (type != ModuleType::Oxl) WriteWordBigEndian(m, cfg::kRichInvalid, 1000);
  WriteWordBigEndian(m, cfg::kRpmThreshold, 600);  // raw units of channel 1: rpm
  m[cfg::kHeaterTimeout] = 30;
  m[cfg::kHeaterFlags] = 0x01;  // heater strategy enabled, no warm at init
}

void WriteOutputTables(ProgramMemory& p, ModuleType type) {
  const auto put = [&p](std::size_t address, std::int16_t value) {
    p[address] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) & 0xFF);
    p[address + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8);
  };
  if (type == ModuleType::Pnu) {
    // Five tables of 16 points: In from the first half of the factory list,
    // Out from the second.
    for (std::size_t c = 0; c < 5; ++c)
      for (std::size_t k = 0; k < 16; ++k) {
        put(prog::kOutputTables + 0x40 * c + 2 * k, kDefaultCurveIn[k]);
        put(prog::kOutputTables + 0x40 * c + 0x20 + 2 * k, kDefaultCurveIn[16 + k]);
      }
    return;
  }
  for (std::size_t k = 0; k < 32; ++k) {
    put(prog::kOutputTables + 2 * k, kDefaultCurveIn[k]);
    put(prog::kOutputTables + 0x40 + 2 * k, kDefaultCurveOut[k]);
  }
}

}  // namespace

ConfigurationMemory DefaultConfiguration(const SimOptions& options) {
  const ModuleType type = ModuleTypeOf(options.device);
  ConfigurationMemory m;
  m.fill(0xFF);
  WriteIdentity(m, type, options);
  m[cfg::kUserLevel] = 3;  // Expert
  if (type == ModuleType::Pnu) {
    m[cfg::kDisplayBrightness] = 1;  // Auto
    m[cfg::kDisplayChannel] = 0;     // richness
    m[cfg::kDisplayFuelType] = 0;    // gasoline
  }
  WriteCanSetup(m, type);
  if (type == ModuleType::Pnu) {
    m[cfg::kProbeLoopP] = 60;
    m[cfg::kProbeLoopAux] = 60;
    m[cfg::kProbeLoopI] = 4;
  } else {
    m[cfg::kProbeLoopP] = 40;
    m[cfg::kProbeLoopAux] = 0;
    m[cfg::kProbeLoopI] = 12;
  }
  WriteWordBigEndian(m, cfg::kStoichRatio, 1457);
  m[cfg::kFilter] = 16;  // medium
  m[cfg::kEcuProtocol] = 0;
  WriteOutputSetup(m, type);
  WriteWordBigEndian(m, cfg::kVgndOffset, 2046);
  WriteWordBigEndian(m, cfg::kVsOffset, 2051);
  WriteWordBigEndian(m, cfg::kVddOffset, 5003);
  WriteWordBigEndian(m, cfg::kRichProbeFault, 0);
  m[cfg::kWatchdogCount] = 0;
  WriteLongBigEndian(m, cfg::kTimeSet, options.usedTime);
  WriteLongBigEndian(m, cfg::kTimeCounter, options.usedTime);
  return m;
}

ProgramMemory DefaultProgramMemory(const SimOptions& options) {
  ProgramMemory p(kProgramMemorySize, 0xFF);
  p[prog::kBootloaderVersion] = options.bootloaderVersion;
  const std::size_t userCode = (prog::kUserCodeBase + options.serial) % kProgramMemorySize;
  p[userCode] = static_cast<std::uint8_t>(options.userCode >> 8);
  p[(userCode + 1) % kProgramMemorySize] = static_cast<std::uint8_t>(options.userCode & 0xFF);
  WriteOutputTables(p, ModuleTypeOf(options.device));
  return p;
}

std::uint16_t ReadWordBigEndian(const ConfigurationMemory& memory, std::uint8_t offset) {
  return static_cast<std::uint16_t>(memory[offset] << 8 | memory[static_cast<std::uint8_t>(offset + 1)]);
}

void WriteWordBigEndian(ConfigurationMemory& memory, std::uint8_t offset, std::uint16_t value) {
  memory[offset] = static_cast<std::uint8_t>(value >> 8);
  memory[static_cast<std::uint8_t>(offset + 1)] = static_cast<std::uint8_t>(value & 0xFF);
}

std::uint32_t ReadLongBigEndian(const ConfigurationMemory& memory, std::uint8_t offset) {
  return static_cast<std::uint32_t>(ReadWordBigEndian(memory, offset)) << 16 |
         ReadWordBigEndian(memory, static_cast<std::uint8_t>(offset + 2));
}

void WriteLongBigEndian(ConfigurationMemory& memory, std::uint8_t offset, std::uint32_t value) {
  WriteWordBigEndian(memory, offset, static_cast<std::uint16_t>(value >> 16));
  WriteWordBigEndian(memory, static_cast<std::uint8_t>(offset + 2), static_cast<std::uint16_t>(value & 0xFFFF));
}

std::int16_t ReadWordLowFirst(const ProgramMemory& memory, std::uint16_t address) {
  const std::uint16_t high = static_cast<std::uint16_t>(address + 1);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(memory[address] | memory[high] << 8));
}

}  // namespace oxalis::sim
