#include "app/MainMenu.h"

#include "app/Core.h"
#include "app/AppState.h"
#include "app/Recording.h"
#include "app/DataCommands.h"

namespace oxalis {

void toolbarClick(Core& core, std::string_view key) {
  if (key == "Open") dataOpen(core);
  else if (key == "Save") dataSave(core);
  else if (key == "Load_Firmware") firmwareClick(core);
  else if (key == "Start_Record") startRecord(core);
  else if (key == "Pause_Record") pauseRecord(core);
  else if (key == "Stop_Record") stopRecord(core);
  // "Setup" opens a window: the window layer calls Core::openSetup and shows it.
}

void firmwareClick(Core& core) {
  auto& dialogs = core.platform.dialogs;
  if (!core.link.state.linkUp) {
    dialogs.message("Communication with Oxalis must be established before opening the firmware update window",
                    "Warning", MessageIcon::Warning);
    return;
  }
  if (!Core::firmwareWindowAvailable)
    dialogs.message("Firmware updates are not available in this version of Oxalis Monitor.", "Message",
                    MessageIcon::Information);
}

std::array<MenuEntry, 4> levelMenu(const Core& core) {
  std::array<MenuEntry, 4> entries{{{"&Basic"}, {"&Normal"}, {"&Expert"}, {"&Master"}}};
  for (std::size_t i = 0; i < entries.size(); ++i) entries[i].checked = core.state.userLevel == i + kLevelBasic;
  return entries;
}

}  // namespace oxalis
