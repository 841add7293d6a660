#pragma once
// What the main window `Main` shows; later parts of the core add the live
// panel and the tool bar.
#include <array>
#include <string>
#include <vector>

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

// A notice shown inside the window, above the live panel, without stopping
// anything: a text and the buttons that answer it (none: it only informs
// and can be closed).
struct Notice {
  std::string text;
  std::vector<std::string> actions;
  bool visible() const { return !text.empty(); }
};

// The replay bar: shown while an opened data file can be replayed.
struct ReplayBarModel {
  bool visible = false;
  bool active = false;  // replaying: the bar says plainly it is not live
  bool playing = false;
  int speed = 1;
  std::string position;  // "12.34 s / 300.00 s": the sample shown and the last
};

struct MainWindowModel {
  static constexpr int kStatusPanels = 8;

  // "* Oxalis Monitor 2.10 (run.DA1)": a star while recorded samples are
  // not saved, the tool named for the module type, the data file.
  std::string caption = std::string("Oxalis Monitor ") + kVersion;
  std::string captionTitle = std::string("Oxalis Monitor ") + kVersion;
  std::string captionFile;
  bool captionUnsaved = false;
  // Status-bar panels, numbered 1..8 as the code refers to them; 7 and 8
  // show the date and time. Until a module answers they say so plainly.
  std::array<std::string, kStatusPanels> panels{"No port", "Link OFF", "No module", "User Level", "", "Data Memory", "", ""};
  // While recording: "REC 1:05" (or "REC paused 1:05"), the recorded time;
  // empty otherwise.
  std::string recordMark;

  // No module answered, or the port was lost: what was tried and what to do.
  Notice linkNotice;
  // A recovery data file from an earlier run that ended without saving.
  Notice recoveryNotice;
  std::string recoveryFile;
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
  MenuEntry dataSaveAs{"Save &As"};
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

  ReplayBarModel replay;

  std::string& panel(int number) { return panels.at(static_cast<std::size_t>(number - 1)); }
  const std::string& panel(int number) const { return panels.at(static_cast<std::size_t>(number - 1)); }

  Notifier changed;
};

}  // namespace oxalis
