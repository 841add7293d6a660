#pragma once
// What the main window `Main` shows; later parts of the core add the live
// panel and the tool bar.
#include <array>
#include <string>

#include "util/Notifier.h"
#include "app/Version.h"

namespace oxalis {

struct MenuEntry {
  std::string caption;
  bool enabled = true;
  bool checked = false;
  bool visible = true;
};

// A button of the tool bar `Toolbar1`. `image` is the index of its picture
// in the image list; the picture after it is its greyed form, shown while
// the button is disabled.
struct ToolButton {
  std::string key;
  std::string tooltip;
  int image = 0;
  bool enabled = true;
  bool separator = false;
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
  // A short note for the status bar about the link, such as a record the
  // module refused and that was skipped; empty while there is none.
  std::string statusMessage;

  // Menu "&File": the data entries, the offline module choice, exit.
  MenuEntry dataNew{"&New"};
  MenuEntry dataOpen{"&Open"};
  MenuEntry dataSave{"&Save"};
  MenuEntry dataSaveAs{"&Save As"};
  MenuEntry dataExportCsv{"&Export CSV..."};
  MenuEntry oxalisOffLine{"&Oxalis"};
  MenuEntry panoraOffLine{"&Panora"};
  MenuEntry qtxOffLine{"&QTX"};
  // Menu "&Tools".
  // The setup window is not part of this version yet: disabled until it is.
  MenuEntry menuSetup{"&Setup", false};
  MenuEntry firmware{"&Firmware"};

  std::array<ToolButton, 8> toolbar{{
      {"Open", "Open", 1},
      {"Save", "Save", 2},
      {"Setup", "Setup", 4, false},
      {"Load_Firmware", "Load Firmware", 4},
      {"", "", 0, true, true},
      {"Start_Record", "Start Record", 5},
      {"Pause_Record", "Pause Record", 7},
      {"Stop_Record", "Stop Record", 9},
  }};

  std::string& panel(int number) { return panels.at(static_cast<std::size_t>(number - 1)); }
  const std::string& panel(int number) const { return panels.at(static_cast<std::size_t>(number - 1)); }

  Notifier changed;
};

}  // namespace oxalis
