#include "app/Shutdown.h"

#include <filesystem>

#include "app/Core.h"
#include "app/DataCommands.h"
#include "app/Persistence.h"
#include "app/Recovery.h"

namespace oxalis {

namespace {

// The unsaved-data question at close. True to go on closing: the samples
// were saved or the user let them go.
bool offerToSaveBeforeClosing(Core& core) {
  switch (core.platform.dialogs.question("Data not saved. Do you want save them?", "Save Data",
                                         QuestionButtons::YesNoCancel)) {
    case Answer::Yes: return dataSaveAs(core);  // false when the dialog was cancelled or the save failed
    case Answer::No: return true;
    default: return false;
  }
}

}  // namespace

std::string settingsFilePath(const Core& core) {
  return (std::filesystem::path(core.state.appFolder) / "OXL_Monitor.ini").string();
}

ShutdownReport shutdown(Core& core, bool interactive) {
  ShutdownReport report;
  AppState& state = core.state;
  if (state.dataNotSaved) {
    if (interactive) {
      if (!offerToSaveBeforeClosing(core)) {
        report.cancelled = true;
        return report;
      }
    } else {
      const std::filesystem::path file = NewRecoveryFilePath(core);
      const FileResult written = saveDataFile(core, file);
      if (written.ok) {
        report.recoveryFile = file.string();
        state.dataNotSaved = false;
      } else {
        report.error = written.error;
      }
    }
  }
  const FileResult settings = saveSettings(core, settingsFilePath(core));
  if (!settings.ok && report.error.empty()) report.error = settings.error;
  if (core.platform.port.isOpen()) core.platform.port.close();
  core.factory.visible = false;
  return report;
}

}  // namespace oxalis
