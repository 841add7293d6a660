#include "app/Recovery.h"

#include <cctype>
#include <string_view>

#include "app/Core.h"
#include "app/DataCommands.h"

namespace oxalis {

namespace {

bool isDataFile(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return extension == ".DA1";
}

constexpr std::string_view kRecoveryPrefix = "Recovery ";

bool isRecoveryFile(const std::filesystem::path& path) {
  return isDataFile(path) && path.filename().string().rfind(kRecoveryPrefix, 0) == 0;
}

void hideNotice(Core& core) {
  MainWindowModel& window = core.mainWindow;
  window.recoveryNotice = Notice{};
  window.recoveryFile.clear();
  window.changed.notify();
}

}  // namespace

std::filesystem::path NewRecoveryFilePath(const Core& core) {
  return std::filesystem::path(dataFolderOrAppFolder(core)) /
         (std::string(kRecoveryPrefix) + fileTimeStamp(core.platform.clock.now()) + ".DA1");
}

std::optional<std::filesystem::path> FindRecoveryFile(const std::filesystem::path& folder) {
  std::error_code ec;
  if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return std::nullopt;
  std::optional<std::filesystem::path> recovery;
  std::filesystem::file_time_type recoveryTime{};
  std::filesystem::file_time_type newestSaved{};
  bool anySaved = false;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (!entry.is_regular_file(ec) || !isDataFile(entry.path())) continue;
    const auto time = entry.last_write_time(ec);
    if (ec) continue;
    if (isRecoveryFile(entry.path())) {
      if (!recovery || time > recoveryTime) {
        recovery = entry.path();
        recoveryTime = time;
      }
    } else if (!anySaved || time > newestSaved) {
      anySaved = true;
      newestSaved = time;
    }
  }
  if (recovery && anySaved && newestSaved >= recoveryTime) return std::nullopt;
  return recovery;
}

void offerRecovery(Core& core) {
  std::optional<std::filesystem::path> file = FindRecoveryFile(core.state.dataFolder);
  if (!file) file = FindRecoveryFile(core.state.appFolder);
  if (!file) return;
  MainWindowModel& window = core.mainWindow;
  window.recoveryFile = file->string();
  window.recoveryNotice = Notice{"The last run ended without saving its samples; they were kept in " +
                                     file->filename().string() + ". Open them now?",
                                 {"&Open", "&Later", "&Delete"}};
  window.changed.notify();
}

void recoveryNotice_Click(Core& core, int action) {
  const std::string file = core.mainWindow.recoveryFile;
  if (file.empty()) return;
  switch (action) {
    case kRecoveryOpen:
      if (dataOpenFile(core, file)) hideNotice(core);
      break;
    case kRecoveryDelete: {
      if (core.platform.dialogs.question("Delete " + file + "? Its samples are lost.", "Recovery file",
                                         QuestionButtons::YesNo, MessageIcon::Warning) != Answer::Yes)
        break;
      std::error_code ec;
      std::filesystem::remove(file, ec);
      if (ec) {
        core.platform.dialogs.message("Fail to delete file " + file + "\n" + ec.message(), "Error",
                                      MessageIcon::Warning);
        break;
      }
      hideNotice(core);
      break;
    }
    default: hideNotice(core); break;
  }
}

}  // namespace oxalis
