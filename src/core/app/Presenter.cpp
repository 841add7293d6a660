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
    {"OX2", OfflineEntry::Oxalis, "Oxalis Monitor ", "Oxalis V2  S/N:"},
    {"OXL", OfflineEntry::Oxalis, "Oxalis Monitor ", "Oxalis  S/N:"},
    {"PNU", OfflineEntry::Panora, "Panora Monitor ", "Display CAN  S/N:"},
    {"RMW", OfflineEntry::Panora, "RMW Monitor ", "Steering Wheel  S/N:"},
    {"QTX", OfflineEntry::Qtx, "QTX Monitor ", "FuelTankDrainTool  S/N:"},
}};

const ModuleText* moduleText(const std::string& code) {
  for (const auto& candidate : kModules)
    if (code == candidate.code) return &candidate;
  return nullptr;
}

std::string version(std::uint8_t value, int decimals) { return formatFixedValue(value, false, decimals); }

void composeCaption(MainWindowModel& window) {
  std::string caption = window.captionUnsaved ? "* " + window.captionTitle : window.captionTitle;
  if (!window.captionFile.empty()) caption += " (" + window.captionFile + ")";
  if (caption == window.caption) return;
  window.caption = std::move(caption);
  window.changed.notify();
}

}  // namespace

Notice noModuleNotice(const std::vector<PortReport>& ports) {
  std::string text = "No device found. ";
  if (ports.empty()) {
    text += "No serial port is present.";
  } else {
    text += "Ports tried:";
    const char* separator = " ";
    for (const PortReport& port : ports) {
      const char* what = port.result == PortOpenResult::Ok                 ? "no answer"
                         : port.result == PortOpenResult::Busy             ? "used by another program"
                         : port.result == PortOpenResult::PermissionDenied ? "permission denied"
                                                                           : "could not be opened";
      text += separator + port.name + " (" + what + ")";
      separator = ", ";
    }
    text += ".";
  }
  text +=
      "\nCheck that the module is powered and its USB cable plugged in, and that your user may use serial ports "
      "(member of the \"dialout\" group: sudo usermod -aG dialout $USER, then log in again). "
      "To try the tool without a module, start it with --demo. The search goes on by itself.";
  return Notice{std::move(text), {}};
}

Notice portLostNotice(const std::string& portName, bool recording) {
  std::string text = "USB error: the port " + portName +
                     " was disconnected. Check the USB cable; the module is found again as soon as it answers.";
  if (recording) text += " The recording keeps its samples and goes on when the module returns.";
  return Notice{std::move(text), {}};
}

void showLinkNotice(MainWindowModel& window, Notice notice) {
  if (notice.text == window.linkNotice.text) return;
  window.linkNotice = std::move(notice);
  window.changed.notify();
}

void showPort(MainWindowModel& window, int portNumber) {
  window.panel(1) = portNumber > 0 ? "COM:" + std::to_string(portNumber) : "No port";
  window.changed.notify();
}

void showLinkStatus(MainWindowModel& window, LinkStatus status) {
  if (status == LinkStatus::Up) {
    if (window.panel(2) == "Link ON") return;
    window.panel(2) = "Link ON";
  } else {
    window.panel(3) = "No module found (timeout)";
    window.panel(2) = "Link OFF";
    window.oxalisOffLine.enabled = true;
    window.panoraOffLine.enabled = true;
    window.qtxOffLine.enabled = true;
  }
  window.changed.notify();
}

void showIdentity(MainWindowModel& window, const ModuleIdentity& id) {
  const ModuleText* row = moduleText(id.deviceCode);
  if (!row) return;

  // A linked module decides the layout: no offline choice may decode its
  // records with another type's.
  window.oxalisOffLine.enabled = false;
  window.panoraOffLine.enabled = false;
  window.qtxOffLine.enabled = false;
  window.oxalisOffLine.checked = row->ticked == OfflineEntry::Oxalis;
  window.panoraOffLine.checked = row->ticked == OfflineEntry::Panora;
  window.qtxOffLine.checked = row->ticked == OfflineEntry::Qtx;

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
  window.panoraOffLine.checked = family == PanelLayout::Panora || family == PanelLayout::SteeringWheel;
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

void showCaption(MainWindowModel& window, const std::string& deviceCode) {
  const ModuleText* row = moduleText(deviceCode);
  window.captionTitle = std::string(row ? row->captionPrefix : "Oxalis Monitor ") + kVersion;
  composeCaption(window);
}

void showFileInCaption(MainWindowModel& window, const std::string& fileName) {
  window.captionFile = fileName;
  composeCaption(window);
}

void showRecordingState(MainWindowModel& window, bool recording, bool paused, bool unsaved, long recordedSeconds) {
  window.captionUnsaved = unsaved;
  composeCaption(window);
  std::string mark;
  if (recording)
    mark = std::string(paused ? "REC paused " : "REC ") + std::to_string(recordedSeconds / 60) + ":" +
           TwoDigits(recordedSeconds % 60);
  if (mark == window.recordMark) return;
  window.recordMark = std::move(mark);
  window.changed.notify();
}

}  // namespace oxalis
