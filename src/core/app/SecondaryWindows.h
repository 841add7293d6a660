#pragma once
// The access-code window's model, which the link fills from a memory reply
// while the window is visible.
#include <cstdint>
#include <string>

#include "util/Notifier.h"

namespace oxalis {

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
