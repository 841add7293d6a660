#include "app/AboutText.h"

#include <vector>

namespace oxalis {

std::string ReleaseNoteText() {
  static const std::vector<std::vector<const char*>> kVersions{
      {"V2.8    Fix: crash during minimisation of main window",
       "        New: add ECU protocol for Microtec ECU (since 2.6 Oxalis firmware)",
       "        New: Richness filtering user configurable", "        New: Richness channels scale user adjust"},
      {"V2.7   New: channels library on separate files on subdirectory /LIB",
       "       New: CAN cfg columns resize possibilities", "       New: Save last module type used for new offline opening"},
      {"V2.6    New: Library and convertion table management"},
      {"V2.5   Fix: round value on richness table", "       Fix: Communication improvement"},
      {"V2.4   New: Panora functionnalities", "       Fix: disable frames during memory writing"},
      {"V2.3   Fix: Setup write available", "       Fix: Search COM Port improvement"},
      {"V2.2   Fix: serial communication improvement", "       Fix: several small change"},
      {"V2.1   Fix: Setup window crash opening in case of wrong data"},
      {"V2.0   New: bootloader with previous upper flash program write", "       New: CAN scope functionalities",
       "       New: A/F computed on Oxalis instead laptop", "       New: adaptation for Oxalis V2"},
  };
  std::string text;
  for (const auto& block : kVersions) {
    for (const char* line : block) {
      text += line;
      text += "\r\n";
    }
    text += "\n";
  }
  return text;
}

}  // namespace oxalis
