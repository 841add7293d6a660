#pragma once
// Closing the tool.
#include <string>

namespace oxalis {

class Core;

struct ShutdownReport {
  // The user kept the window: Cancel on the unsaved-data question, a
  // cancelled save dialog or a failed save. Nothing was written or closed.
  bool cancelled = false;
  std::string recoveryFile;   // unsaved samples written here (closing without questions)
  std::string error;          // why the recovery file or the settings could not be written
};

// Asks about unsaved data (when `interactive`: Yes saves, No drops them,
// Cancel keeps the tool open; otherwise writes them to a recovery file in
// the data folder), writes the settings file, closes the port and hides the
// factory window.
ShutdownReport shutdown(Core& core, bool interactive);

// Where the settings file lives.
std::string settingsFilePath(const Core& core);

}  // namespace oxalis
