// The identification reply: which module answered, its serial number and
// versions; what the tool sets up once a module is recognised.
#include <array>
#include <string>

#include "app/Core.h"
#include "link/ReplyDispatch.h"
#include "monitor/NumberFormat.h"
#include "platform/Timers.h"

namespace oxalis {

namespace {

enum class OfflineEntry { Oxalis, Panora, Qtx };

struct ModuleRow {
  const char* code;
  bool startsKeepAlive;
  OfflineEntry ticked;
  const char* captionPrefix;
  const char* panelName;
  int versionIndex;  // rxFrame index of the first version byte
};

constexpr std::array<ModuleRow, 5> kModules{{
    {"OX2", true, OfflineEntry::Oxalis, "Oxalis_Monitor ", "Oxalis V2  S/N:", 8},
    {"OXL", true, OfflineEntry::Oxalis, "Oxalis_Monitor ", "Oxalis  S/N:", 8},
    {"PNU", true, OfflineEntry::Panora, "Panora_Monitor ", "Display CAN  S/N:", 8},
    {"RMW", false, OfflineEntry::Panora, "RMW_Monitor ", "Steering Wheel  S/N:", 8},
    {"QTX", false, OfflineEntry::Qtx, "QTX_Monitor ", "FuelTankDrainTool  S/N:", 9},
}};

const ModuleRow* findModule(const std::string& code) {
  for (const auto& row : kModules)
    if (code == row.code) return &row;
  return nullptr;
}

std::string version(std::uint8_t value, int decimals) { return formatFixedValue(value, false, decimals); }

// A text box shows the number without the sign column.
std::string boxText(std::uint8_t value, int decimals) { return version(value, decimals).substr(1); }

}  // namespace

void handleIdentification(Core& core) {
  AppState& state = core.state;
  const auto& f = state.rx.rxFrame;
  // While the setup window exchanges configuration, a module answering again
  // must not re-lay the window under it (the factory level may).
  if (state.setupOpen && state.userLevel != kLevelMaster) return;

  state.identity.serialNumber = f[2] * 256 + f[3];
  state.deviceCode = std::string{static_cast<char>(f[5]), static_cast<char>(f[6]), static_cast<char>(f[7])};
  const ModuleRow* row = findModule(state.deviceCode);
  if (!row) return;

  MainWindowModel& window = core.mainWindow;
  window.oxalisOffLine.enabled = false;
  window.panoraOffLine.enabled = false;
  window.oxalisOffLine.checked = row->ticked == OfflineEntry::Oxalis;
  window.panoraOffLine.checked = row->ticked == OfflineEntry::Panora;
  window.qtxOffLine.checked = row->ticked == OfflineEntry::Qtx;
  if (row->startsKeepAlive) core.platform.timers.setEnabled(TimerId::KeepAlive, true);
  window.caption = std::string(row->captionPrefix) + kVersion;

  ModuleIdentity& id = state.identity;
  const std::string serial = std::to_string(id.serialNumber);
  if (state.deviceCode == "OXL") {
    id.hwMajor = f[8];
    id.fwMajor = f[9];
    window.panel(3) = std::string(row->panelName) + serial + "   HW:" + version(id.hwMajor, 1) +
                      "   FW:" + version(id.fwMajor, 1) + " ";
  } else {
    const auto v = static_cast<std::size_t>(row->versionIndex);
    id.hwMajor = f[v];
    id.hwMinor = f[v + 1];
    id.fwMajor = f[v + 2];
    id.fwMinor = f[v + 3];
    window.panel(3) = std::string(row->panelName) + serial + "   HW:" + version(id.hwMajor, 0) + "." +
                      version(id.hwMinor, 0) + "   FW:" + version(id.fwMajor, 0) + "." + version(id.fwMinor, 0) +
                      " ";
  }

  if (core.hooks.layoutPanel) core.hooks.layoutPanel();

  window.panel(2) = "Link ON";
  state.linkUp = true;
  // The link is new: the silence count starts again, or a module whose
  // reply ended its bytes for now would time out on the very next tick.
  state.silentTicks = 0;
  // A new link: the first measurement record has no predecessor to compare.
  state.rx.lastFrameText.clear();
  core.platform.timers.setEnabled(TimerId::Refresh, true);
  window.changed.notify();

  FactoryModel& factory = core.factory;
  if (factory.visible) {
    if (state.deviceCode == "OXL") {
      factory.W_HW = boxText(id.hwMajor, 1);
      factory.W_SW = boxText(id.fwMajor, 1);
    } else if (state.deviceCode != "QTX") {
      factory.W_HW = boxText(id.hwMajor, 0);
      factory.W_SW = boxText(id.fwMajor, 0);
      factory.W_RHW = boxText(id.hwMinor, 0);
      factory.W_RSW = boxText(id.fwMinor, 0);
    }
    factory.W_SN = serial;
    factory.changed.notify();
  }

  if (state.streamRunning) {
    core.commands.ReadParams(0x2C, 2);  // stoichiometric ratio
    core.commands.StartFrames();
  }
}

}  // namespace oxalis
