#pragma once
// The data bytes of one measurement record (type 0x13), laid out for the
// module type, from what the module measures and how it is configured.
//
// Fast part (every record), OXL, OX2 and PNU: D0-D1 output voltage in mV
// (PNU: the analogue richness input), D2-D3 richness x 1000, D4-D5 lambda x
// 1000, D6-D7 O2 % x 100 signed, D8-D9 the slow slot chosen by the selector.
// OX2 adds the raw words of CAN channels 1-4 (D10-D17), PNU the scaled
// values of channels 1-5 (D10-D19). RMW sends channels 1-3 as words, its
// diagnostic byte and channel 4 as one byte; QTX its own twelve bytes.
//
// While the probe warms up a lambda controller reports the richness and
// output voltage configured for an invalid measurement.
//
// Diagnostic bits of the lambda controllers: bit 0 warm-up in progress, 1 open
// circuit, 2 heater short circuit, 3 probe below 700 degrees C, 4 power
// ground, 5 virtual ground, 6 low battery, 7 Vs out of range. Of the display:
// bit 2 richness from the analogue input. Of the drain tool: bit 2 inrush
// delay.
#include <cstdint>
#include <string>

#include "sim/EngineModel.h"
#include "sim/ModuleMemory.h"
#include "sim/ModuleType.h"

namespace oxalis::sim {

namespace diag {
inline constexpr std::uint8_t kWarmUp = 0x01;
inline constexpr std::uint8_t kAnalogMode = 0x04;   // display
inline constexpr std::uint8_t kInrushDelay = 0x04;  // drain tool
}  // namespace diag

// Slow-slot selectors in the order the module sends them.
inline constexpr std::uint8_t kSlowSlots[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};

struct FrameInputs {
  ModuleType type = ModuleType::Ox2;
  const EngineState& engine;
  // The configuration the module runs with (taken over at the last reload).
  const ConfigurationMemory& configuration;
  const ProgramMemory& program;
  double seconds = 0.0;  // since power on
  std::uint8_t selector = 0x01;
};

// One char per data byte, MeasurementDataLength(type) of them.
std::string MeasurementData(const FrameInputs& in);

// Output voltage in mV for a richness x 1000 through the 32-point output
// table of the lambda controller in program memory.
int OutputVoltageMv(const ProgramMemory& program, int richness1000);

// The raw word that a CAN channel configured with the record at `recordOffset`
// carries for a physical value (inverse of (A raw + B) / (C raw + D)).
std::uint16_t RawChannelWord(const ConfigurationMemory& configuration, std::uint8_t recordOffset, double value);

}  // namespace oxalis::sim
