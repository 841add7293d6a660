#pragma once
// The shell's own state: user level, recording, the files and folders last
// used. What the link, the monitor and the trace know lives with them.
#include <cstdint>
#include <string>
#include <vector>

namespace oxalis {

enum UserLevel : std::uint8_t { kLevelBasic = 1, kLevelNormal = 2, kLevelExpert = 3, kLevelMaster = 4 };

struct AppState {
  // Folder of the settings file, lib/, ports/ and the cursor files.
  std::string appFolder;

  std::uint8_t userLevel = kLevelBasic;
  // The module has answered the request for its stored user level since it
  // was last identified.
  bool storedLevelKnown = false;
  // Index = userLevel; the status bar shows "User level : " + name.
  std::vector<std::string> levelNames{"?", "Basic", "Normal", "Expert", "Master"};
  bool setupOpen = false;            // the setup window is open

  // Recording and files.
  std::string dataFileName = "default.DA1";
  bool recording = false;
  bool recordPaused = false;
  bool dataNotSaved = false;    // recorded samples exist that were not saved
  bool dataFileOpened = false;  // the trace holds samples read from a data file
  bool afrTenfold = false;      // the data file last read stores A/F x 10
  std::string dataFileOfThisRun;  // the data file this run last opened or saved: "Save" replaces it unasked
  std::string dataFolder;       // folder of the data file dialogs
  std::string setupFolder;      // folder of the setup archive dialogs
  std::string setupFileName = "Default.OXS";
  double hcRatio = 2;           // carried through the settings file unchanged
  // The main window's place, kept between runs: "left,top,width,height,
  // maximised" as the window writes it; empty for its own placement.
  std::string windowGeometry;
  // The look: "Desktop" (follow the desktop), "Light" or "Dark".
  std::string theme = "Desktop";
};

}  // namespace oxalis
