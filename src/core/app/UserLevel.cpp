#include "app/UserLevel.h"

#include <string>

#include "app/Core.h"
#include "app/Recording.h"
#include "app/Toolbar.h"
#include "config/MemoryMap.h"
#include "util/NumberFormat.h"

namespace oxalis {

void storedLevelRead(Core& core, double value) {
  AppState& state = core.state;
  state.storedLevelKnown = true;
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
  // The setup window opens at every level; the level decides what it lets
  // the user change.
  window.menuSetup.enabled = true;
  enableToolButton(window, "Setup");
  if (state.userLevel == kLevelMaster) {
    disableToolButton(window, "Start_Record");
    enableToolButton(window, "Pause_Record");
    enableToolButton(window, "Stop_Record");
  }
  refreshRecordingControls(core);
  // The factory window belongs to the Master level alone.
  // It opens with the identity of the module already found.
  if (const bool master = state.userLevel == kLevelMaster; core.factory.visible != master) {
    core.factory.visible = master;
    if (master && core.link.state.linkUp) showModuleIdentity(core.factory, core.link.state.identity);
    core.factory.changed.notify();
  }
  window.panel(4) = "User level : " + state.levelNames.at(state.userLevel);
  core.updateIdentificationHold();
  window.changed.notify();
}

void requestLevel(Core& core, std::uint8_t level) {
  AccessCodeModel& access = core.accessCode;
  access.requestedLevel = level;
  access.caption = "User Code";
  access.code.clear();
  access.masked = level == kLevelMaster;
  access.visible = true;
  core.link.commands.readMemory(static_cast<std::uint16_t>(memory_map::kUserCodeBase + core.link.state.identity.serialNumber), 2);
  access.changed.notify();
}

bool validateLevelCode(Core& core, std::string_view typed) {
  AccessCodeModel& access = core.accessCode;
  AppState& state = core.state;
  const double number = ReadLeadingNumber(typed);
  const std::uint8_t level = access.requestedLevel;
  bool accepted = false;
  if (level == kLevelMaster) {
    accepted = number == static_cast<double>(kMasterCode);
  } else if (level >= kLevelBasic && level < kLevelMaster) {
    accepted = number == static_cast<double>(access.userCodeBase + level * kLevelCodeMultiplier);
    if (accepted) {
      const char byte = static_cast<char>(level);
      // The level byte goes only after its area record.
      (void)(core.link.commands.selectEepromArea() &&
             core.link.commands.writeParams(memory_map::kStoredUserLevel, std::string_view(&byte, 1)));
    }
  }
  if (!accepted) {
    // The window stays for another try: a typing slip costs no new request.
    access.code.clear();
    access.changed.notify();
    core.platform.dialogs.message("Wrong Code", "Level Code", MessageIcon::Error);
    return false;
  }
  access.visible = false;
  access.changed.notify();
  state.userLevel = level;
  ApplyUserLevel(core);
  return true;
}

void cancelLevelCode(Core& core) {
  core.accessCode.visible = false;
  core.accessCode.changed.notify();
}

}  // namespace oxalis
