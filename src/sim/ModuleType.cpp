#include "sim/ModuleType.h"

namespace oxalis::sim {

ModuleType ModuleTypeOf(std::string_view deviceCode) {
  if (deviceCode == "OXL") return ModuleType::Oxl;
  if (deviceCode == "PNU") return ModuleType::Pnu;
  if (deviceCode == "RMW") return ModuleType::Rmw;
  if (deviceCode == "QTX") return ModuleType::Qtx;
  return ModuleType::Ox2;
}

bool IsKnownDeviceCode(std::string_view deviceCode) {
  return deviceCode == "OXL" || deviceCode == "OX2" || deviceCode == "PNU" || deviceCode == "RMW" ||
         deviceCode == "QTX";
}

ModuleVersion DefaultVersion(ModuleType type) {
  switch (type) {
    case ModuleType::Oxl:
      return {.hwMajor = 12, .fwMajor = 18};  // 1.2 and 1.8, in tenths
    case ModuleType::Ox2:
      return {.hwMajor = 2, .hwMinor = 1, .fwMajor = 3, .fwMinor = 4};
    case ModuleType::Pnu:
      return {.hwMajor = 1, .hwMinor = 2, .fwMajor = 2, .fwMinor = 3};
    case ModuleType::Rmw:
      return {.hwMajor = 1, .hwMinor = 0, .fwMajor = 1, .fwMinor = 5};
    case ModuleType::Qtx:
      return {.hwMajor = 1, .hwMinor = 0, .fwMajor = 1, .fwMinor = 2, .boardVariant = 1};
  }
  return {};
}

int MeasurementDataLength(ModuleType type) {
  switch (type) {
    case ModuleType::Oxl:
      return 10;
    case ModuleType::Ox2:
      return 18;
    case ModuleType::Pnu:
      return 20;
    case ModuleType::Qtx:
      return 12;
    case ModuleType::Rmw:
      return 8;
  }
  return 0;
}

}  // namespace oxalis::sim
