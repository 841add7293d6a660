#pragma once
// What the main window `Main` shows; later parts of the core add the live
// panel, the menus and the tool bar.
#include <array>
#include <string>

#include "app/Notifier.h"
#include "app/Version.h"

namespace oxalis {

struct MainWindowModel {
  static constexpr int kStatusPanels = 8;

  std::string caption = std::string("Oxalis_Monitor ") + kVersion;
  // Status-bar panels, numbered 1..8 as the code refers to them.
  std::array<std::string, kStatusPanels> panels{};

  std::string& panel(int number) { return panels.at(static_cast<std::size_t>(number - 1)); }
  const std::string& panel(int number) const { return panels.at(static_cast<std::size_t>(number - 1)); }

  Notifier changed;
};

}  // namespace oxalis
