#pragma once
// The layer rule of the source tree, read from its `#include "..."` lines.
//
// The core is split into rooms, the folders directly under src/core, each
// with a rank. A core file may include headers of its own room and of rooms
// of lower rank; nothing beside it, above it or outside the core. Around the
// core: the simulator sees only the two core headers it speaks through, the
// Qt platform layer sees the core, the windows see the core and the Qt
// platform layer, and the program in src/app puts everything together.
#include <filesystem>
#include <string>
#include <vector>

namespace oxalis::layers {

struct LayerViolation {
  std::string file;      // from the source folder on: "src/core/link/Foo.cpp"
  int line = 0;          // 0 when the file or folder as a whole is at fault
  std::string included;  // the text between the quotes
  std::string reason;
};

// Every violation under srcRoot (the folder holding core, sim, ui, ...),
// ordered by file and line.
std::vector<LayerViolation> checkLayers(const std::filesystem::path& srcRoot);

// One line a developer can jump to:
// src/core/link/Foo.cpp:12: includes "app/Core.h": link may include only: platform, util, link
std::string describe(const LayerViolation& violation);

}  // namespace oxalis::layers
