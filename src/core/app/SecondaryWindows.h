#pragma once
// The parts of the firmware and access-code windows that the link fills
// from memory replies while those windows are visible.
#include <cstdint>
#include <string>

#include "util/Notifier.h"

namespace oxalis {

struct FirmwareWindowModel {
  bool visible = false;
  std::string statusPanel1;         // "BootLoader Version : ..."
  std::uint8_t bootloaderVersion = 0;  // version x 10; an erased byte counts as 10
  Notifier changed;
};

struct AccessCodeModel {
  bool visible = false;
  std::uint8_t requestedLevel = 1;
  std::uint16_t userCodeBase = 0;
  std::string caption = "User Code";
  std::string code;     // the text box `Code`
  bool masked = false;  // typed characters show as "X" (Master)
  Notifier changed;
};

}  // namespace oxalis
