#include "app/Shutdown.h"

#include <filesystem>

#include "app/Core.h"
#include "app/DataCommands.h"
#include "app/Persistence.h"

namespace oxalis {

namespace {

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// "<data folder>/Recovery 2026-12-08 17-45-03.DA1", in the data folder when
// it exists, otherwise the app folder.
std::filesystem::path recoveryPath(const Core& core) {
  std::error_code ec;
  std::filesystem::path folder = core.state.dataFolder;
  if (folder.empty() || !std::filesystem::is_directory(folder, ec)) folder = core.state.appFolder;
  const DateTime t = core.platform.clock.now();
  return folder / ("Recovery " + std::to_string(t.year) + "-" + twoDigits(t.month) + "-" + twoDigits(t.day) + " " +
                   twoDigits(t.hour) + "-" + twoDigits(t.minute) + "-" + twoDigits(t.second) + ".DA1");
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
      // Shutdown goes on whatever the answer, and whether the file dialog
      // is cancelled or not.
      if (core.platform.dialogs.question("Data not saved. Do you want save them?", "Save Data",
                                         QuestionButtons::YesNo) == Answer::Yes)
        dataSaveAs(core);
    } else {
      const std::filesystem::path file = recoveryPath(core);
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
