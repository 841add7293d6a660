#include "app/UserLevel.h"

#include <string>

#include "app/Core.h"

namespace oxalis {

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
  core.mainWindow.panel(4) = "User level : " + state.levelNames.at(state.userLevel);
  core.mainWindow.changed.notify();
}

}  // namespace oxalis
