#include "app/Presenter.h"

#include <array>
#include <cmath>

#include "app/MainWindowModel.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {

enum class OfflineEntry { Oxalis, Panora, Qtx };

struct ModuleText {
  const char* code;
  OfflineEntry ticked;
  const char* captionPrefix;
  const char* panelName;
};

constexpr std::array<ModuleText, 5> kModules{{
    {"OX2", OfflineEntry::Oxalis, "Oxalis_Monitor ", "Oxalis V2  S/N:"},
    {"OXL", OfflineEntry::Oxalis, "Oxalis_Monitor ", "Oxalis  S/N:"},
    {"PNU", OfflineEntry::Panora, "Panora_Monitor ", "Display CAN  S/N:"},
    {"RMW", OfflineEntry::Panora, "RMW_Monitor ", "Steering Wheel  S/N:"},
    {"QTX", OfflineEntry::Qtx, "QTX_Monitor ", "FuelTankDrainTool  S/N:"},
}};

std::string version(std::uint8_t value, int decimals) { return formatFixedValue(value, false, decimals); }

}  // namespace

void showPort(MainWindowModel& window, int portNumber) {
  window.panel(1) = portNumber > 0 ? "COM:" + std::to_string(portNumber) : "COM:??";
  window.changed.notify();
}

void showLinkStatus(MainWindowModel& window, LinkStatus status) {
  if (status == LinkStatus::Up) {
    if (window.panel(2) == "Link ON") return;
    window.panel(2) = "Link ON";
  } else {
    window.panel(3) = "No module find (timeout)";
    window.panel(2) = "Link OFF";
    window.oxalisOffLine.enabled = true;
    window.panoraOffLine.enabled = true;
  }
  window.changed.notify();
}

void showIdentity(MainWindowModel& window, const ModuleIdentity& id) {
  const ModuleText* row = nullptr;
  for (const auto& candidate : kModules)
    if (id.deviceCode == candidate.code) row = &candidate;
  if (!row) return;

  window.oxalisOffLine.enabled = false;
  window.panoraOffLine.enabled = false;
  window.oxalisOffLine.checked = row->ticked == OfflineEntry::Oxalis;
  window.panoraOffLine.checked = row->ticked == OfflineEntry::Panora;
  window.qtxOffLine.checked = row->ticked == OfflineEntry::Qtx;
  window.caption = std::string(row->captionPrefix) + kVersion;

  const std::string serial = std::to_string(id.serialNumber);
  if (id.deviceCode == "OXL") {
    window.panel(3) = std::string(row->panelName) + serial + "   HW:" + version(id.hwMajor, 1) +
                      "   FW:" + version(id.fwMajor, 1) + " ";
  } else {
    window.panel(3) = std::string(row->panelName) + serial + "   HW:" + version(id.hwMajor, 0) + "." +
                      version(id.hwMinor, 0) + "   FW:" + version(id.fwMajor, 0) + "." + version(id.fwMinor, 0) +
                      " ";
  }
  window.changed.notify();
}

void showPanelFamily(MainWindowModel& window, PanelLayout family) {
  if (family == PanelLayout::None) return;
  window.oxalisOffLine.checked = family == PanelLayout::Oxalis;
  window.panoraOffLine.checked = family == PanelLayout::Panora;
  window.qtxOffLine.checked = family == PanelLayout::Qtx;
  window.changed.notify();
}

void showRunningTime(MainWindowModel& window, double hundredths) {
  window.panel(5) = formatDuration(static_cast<std::int64_t>(std::llround(hundredths / 100)));
  window.changed.notify();
}

void showMemoryText(MainWindowModel& window, std::string text) {
  std::string& panel = window.panel(6);
  if (panel == text) return;
  panel = std::move(text);
  window.changed.notify();
}

void showFileInCaption(MainWindowModel& window, const std::string& fileName) {
  const auto open = window.caption.find(" (");
  window.caption = window.caption.substr(0, open) + " (" + fileName + ")";
  window.changed.notify();
}

}  // namespace oxalis
