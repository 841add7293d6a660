#pragma once
// The module types the link knows, with what the link itself needs of each:
// whether the keep-alive time request runs, where the versions sit in the
// identification reply, and how many data bytes its measurement record
// carries. A measurement record of any other length is damaged, whatever
// its checksum says, and is dropped before it reaches a decoder.
#include <array>
#include <cstddef>
#include <string_view>

namespace oxalis {

struct ModuleType {
  const char* code;
  bool startsKeepAlive;
  int versionIndex;             // rxFrame index of the first version byte
  std::size_t measurementBytes; // data bytes of its measurement record
};

// OXL, OX2, PNU: fast fields and slow slot (10 bytes); OX2 adds channels
// 1-4 (8 bytes), PNU channels 1-5 (10 bytes). QTX and RMW have layouts of
// their own.
inline constexpr std::array<ModuleType, 5> kModuleTypes{{
    {"OX2", true, 8, 18},
    {"OXL", true, 8, 10},
    {"PNU", true, 8, 20},
    {"RMW", false, 8, 8},
    {"QTX", false, 9, 12},
}};

// The row of a device code, or nullptr for a code the tool does not know.
inline const ModuleType* findModuleType(std::string_view code) {
  for (const auto& row : kModuleTypes)
    if (code == row.code) return &row;
  return nullptr;
}

}  // namespace oxalis
