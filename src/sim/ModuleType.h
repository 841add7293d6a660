#pragma once
// The module types by their three-letter device code, and the version bytes
// each type reports when it is identified.
#include <cstdint>
#include <string>
#include <string_view>

namespace oxalis::sim {

enum class ModuleType {
  Oxl,  // "OXL" Oxalis, first hardware generation
  Ox2,  // "OX2" Oxalis, second hardware generation
  Pnu,  // "PNU" Panora CAN display
  Rmw,  // "RMW" steering-wheel module
  Qtx,  // "QTX" fuel tank drain tool
};

// The type behind a device code. A code that is none of the five behaves as
// an OX2 (it still reports its own code when identified).
ModuleType ModuleTypeOf(std::string_view deviceCode);

// True for the five codes above.
bool IsKnownDeviceCode(std::string_view deviceCode);

// Hardware and firmware version as the module stores it. On OXL only
// hwMajor and fwMajor are used, each holding the version times ten (12 is
// 1.2). `boardVariant` is sent by QTX alone, in front of its four bytes.
struct ModuleVersion {
  std::uint8_t hwMajor = 0;
  std::uint8_t hwMinor = 0;
  std::uint8_t fwMajor = 0;
  std::uint8_t fwMinor = 0;
  std::uint8_t boardVariant = 0;
};

ModuleVersion DefaultVersion(ModuleType type);

// Number of data bytes in one measurement record of the type.
int MeasurementDataLength(ModuleType type);

}  // namespace oxalis::sim
