#include "app/UserLevel.h"

#include <string>

#include "app/Core.h"
#include "app/Recording.h"
#include "app/Toolbar.h"
#include "monitor/ChannelLine.h"

namespace oxalis {

namespace {
constexpr std::uint8_t kStoredLevelOffset = 0x0A;
constexpr std::uint16_t kUserCodeAddress = 0x1000;
}  // namespace

void storedLevelRead(Core& core, double value) {
  AppState& state = core.state;
  const bool isLevel = value >= 1 && value <= 4;
  if (state.userLevel == kLevelMaster && (isLevel || value == 255)) {
    core.factory.W_Userlevel = std::to_string(static_cast<int>(value));
    core.factory.changed.notify();
  } else {
    state.userLevel = isLevel ? static_cast<std::uint8_t>(value) : std::uint8_t{kLevelBasic};
  }
  ApplyUserLevel(core);
}

void ApplyUserLevel(Core& core) {
  const AppState& state = core.state;
  MainWindowModel& window = core.mainWindow;
  // The setup window is not part of this version yet: its entries stay
  // disabled at every level rather than opening nothing.
  window.menuSetup.enabled = core.setupWindowAvailable;
  if (core.setupWindowAvailable)
    enableToolButton(window, "Setup");
  else
    disableToolButton(window, "Setup");
  if (state.userLevel == kLevelMaster) {
    disableToolButton(window, "Start_Record");
    enableToolButton(window, "Pause_Record");
    enableToolButton(window, "Stop_Record");
  }
  refreshRecordingControls(core);
  window.panel(4) = "User level : " + state.levelNames.at(state.userLevel);
  window.changed.notify();
}

void requestLevel(Core& core, std::uint8_t level) {
  AccessCodeModel& access = core.accessCode;
  access.requestedLevel = level;
  access.caption = "User Code";
  access.code.clear();
  access.masked = level == kLevelMaster;
  access.visible = true;
  core.commands.ReadMemory(static_cast<std::uint16_t>(kUserCodeAddress + core.state.identity.serialNumber), 2);
  access.changed.notify();
}

void validateLevelCode(Core& core, std::string_view typed) {
  AccessCodeModel& access = core.accessCode;
  AppState& state = core.state;
  // Close first: the message box below runs a nested event loop.
  access.visible = false;
  access.changed.notify();

  const double number = ReadLeadingNumber(typed);
  const std::uint8_t level = access.requestedLevel;
  bool accepted = false;
  if (level == kLevelMaster) {
    accepted = number == static_cast<double>(kMasterCode);
  } else if (level >= kLevelBasic && level < kLevelMaster) {
    accepted = number == static_cast<double>(access.userCodeBase + level * kLevelCodeMultiplier);
    if (accepted) {
      core.commands.SelectEepromArea();
      const char byte = static_cast<char>(level);
      core.commands.WriteParams(kStoredLevelOffset, std::string_view(&byte, 1));
    }
  }
  if (accepted) state.userLevel = level;
  ApplyUserLevel(core);
  if (!accepted) core.platform.dialogs.message("Wrong Code", "Level Code", MessageIcon::Error);
}

void cancelLevelCode(Core& core) {
  core.accessCode.visible = false;
  core.accessCode.changed.notify();
}

}  // namespace oxalis
