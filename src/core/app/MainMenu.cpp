#include "app/MainMenu.h"

#include "app/Core.h"
#include "app/AppState.h"
#include "app/Recording.h"
#include "app/DataCommands.h"

namespace oxalis {

void toolbarClick(Core& core, std::string_view key) {
  if (key == "Open") dataOpen(core);
  else if (key == "Save") dataSave(core);
  else if (key == "Start_Record") startRecord(core);
  else if (key == "Pause_Record") pauseRecord(core);
  else if (key == "Stop_Record") stopRecord(core);
  // "Setup" and "Load_Firmware" open windows: the window layer calls
  // Core::openSetup or firmwareClick and shows them.
}

bool firmwareClick(Core& core) {
  if (!core.link.state.linkUp) {
    core.platform.dialogs.message(
        "Communication with Oxalis must be established before opening the firmware update window", "Warning",
        MessageIcon::Warning);
    return false;
  }
  core.firmware.open();
  return true;
}

std::array<MenuEntry, 4> levelMenu(const Core& core) {
  std::array<MenuEntry, 4> entries{{{"&Basic"}, {"&Normal"}, {"&Expert"}, {"&Master"}}};
  for (std::size_t i = 0; i < entries.size(); ++i) entries[i].checked = core.state.userLevel == i + kLevelBasic;
  return entries;
}

}  // namespace oxalis
