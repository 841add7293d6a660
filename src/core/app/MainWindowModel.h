#pragma once
// What the main window `Main` shows; later parts of the core add the live
// panel and the tool bar.
#include <array>
#include <string>

#include "app/Notifier.h"
#include "app/Version.h"

namespace oxalis {

struct MenuEntry {
  std::string caption;
  bool enabled = true;
  bool checked = false;
  bool visible = true;
};

struct MainWindowModel {
  static constexpr int kStatusPanels = 8;

  std::string caption = std::string("Oxalis_Monitor ") + kVersion;
  // Status-bar panels, numbered 1..8 as the code refers to them, with their
  // captions until the link fills them; 7 and 8 show the date and time.
  std::array<std::string, kStatusPanels> panels{"Port COM", "Link", "Ident", "User Level", "Time", "Data Memory", "", ""};
  static constexpr std::array<const char*, kStatusPanels> kPanelTooltips{
      "Port COM", "Link ON/OFF", "S/N  HW FW", "User level read on Oxalis", "Probe used time",
      "Data memory filled level", "", ""};

  // Offline module choice (menu "&Offline").
  MenuEntry oxalisOffLine{"&Oxalis"};
  MenuEntry panoraOffLine{"&Panora"};
  MenuEntry qtxOffLine{"&QTX"};

  // Buttons of the live panel.
  std::string searchPortCaption = "Search Oxalis";
  std::string identifieCaption = "Oxalis info";

  std::string& panel(int number) { return panels.at(static_cast<std::size_t>(number - 1)); }
  const std::string& panel(int number) const { return panels.at(static_cast<std::size_t>(number - 1)); }

  Notifier changed;
};

}  // namespace oxalis
