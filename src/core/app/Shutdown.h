#pragma once
// Closing the tool.
#include <string>

namespace oxalis {

class Core;

struct ShutdownReport {
  std::string recoveryFile;   // unsaved samples written here (closing without questions)
  std::string error;          // why the recovery file or the settings could not be written
};

// Asks about unsaved data (when `interactive`; otherwise writes it to a
// recovery file in the data folder), writes the settings file, closes the
// port and hides the factory window.
ShutdownReport shutdown(Core& core, bool interactive);

// Where the settings file lives.
std::string settingsFilePath(const Core& core);

}  // namespace oxalis
