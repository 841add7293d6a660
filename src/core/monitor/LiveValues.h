#pragma once
// The latest decoded measurement: fixed-point signed 32-bit integers,
// written only by the measurement decoder.
#include <array>
#include <cstdint>

namespace oxalis {

struct LiveValues {
  std::int32_t vOutMv = 0;         // mV: analog output (Panora: "V Richness")
  std::int32_t richness = 0;       // x 1000
  std::int32_t lambda = 0;         // x 1000
  std::int32_t o2 = 0;             // % x 100, signed
  std::int32_t airFuel = 0;        // x 100
  std::int32_t probeTempC = 0;     // degrees C
  std::int32_t heaterVolt = 0;     // V x 10
  std::int32_t heaterPwm = 0;      // %
  std::int32_t batteryVolt = 0;    // V x 10
  std::int32_t internalTempC = 0;  // degrees C
  std::int32_t vgndMv = 0;         // mV
  std::int32_t probeFactor = 0;    // raw 16-bit, shown with 4 decimals
  std::int32_t diagFlags = 0;      // 8 bits
  std::int32_t canErrorFlags = 0;  // 6 bits
  std::int32_t vsMv = 0;           // mV
  std::int32_t slewRate = 0;       // raw byte
  std::int32_t canErrorCount = 0;
  std::array<std::int32_t, 5> channel{};  // user channels 1-5, in units of 10^-Dec
  // Panora display.
  std::int32_t vinMv = 0;
  std::int32_t vluxMv = 0;
  std::int32_t klux = 0;           // x 10
  std::int32_t channelSelect = 0;
  std::int32_t fuelType = 0;
  std::int32_t brightnessPct = 0;  // 0 shows "Auto"
};

}  // namespace oxalis
