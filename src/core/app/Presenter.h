#pragma once
// The main window's texts that follow the link: the status-bar panels
// (port, link, identity, running time, memory gauge), the caption and the
// offline module menu. Each call notifies the window when it changed
// something.
#include <cstdint>
#include <string>
#include <vector>

#include "link/LinkEvents.h"
#include "link/RxState.h"
#include "monitor/LivePanel.h"
#include "platform/SerialPort.h"

namespace oxalis {

struct MainWindowModel;
struct Notice;

// A port the search tried, by the name the user knows it, and what it did.
struct PortReport {
  std::string name;
  PortOpenResult result;
};

// "No device found": the ports tried, the usual fixes, the simulated module.
Notice noModuleNotice(const std::vector<PortReport>& ports);
// The port was lost; the module is found again when it answers.
Notice portLostNotice(const std::string& portName, bool recording);
// Shows (or, with an empty notice, hides) the link notice.
void showLinkNotice(MainWindowModel& window, Notice notice);

// Panel 1: "COM:n", or "No port" for 0 (no module on any port).
void showPort(MainWindowModel& window, int portNumber);

// Panel 2 "Link ON"; or, when the link timed out, panel 3 "No module found
// (timeout)", panel 2 "Link OFF" and the offline module entries enabled.
void showLinkStatus(MainWindowModel& window, LinkStatus status);

// A known module answered: the offline entries are disabled and the
// module's family ticked, panel 3 shows the type's name, serial number and
// versions.
void showIdentity(MainWindowModel& window, const ModuleIdentity& module);

// The offline entry of a laid-out panel family is ticked, the others not.
void showPanelFamily(MainWindowModel& window, PanelLayout family);

// Panel 5: the probe's running time.
void showRunningTime(MainWindowModel& window, double hundredths);

// Panel 6: the data memory gauge; told only of a change.
void showMemoryText(MainWindowModel& window, std::string text);

// The caption names the tool for the module type ("Panora Monitor 2.10").
void showCaption(MainWindowModel& window, const std::string& deviceCode);

// The caption's program part stays; the file follows in brackets.
void showFileInCaption(MainWindowModel& window, const std::string& fileName);

// The caption's unsaved star and the recording mark.
void showRecordingState(MainWindowModel& window, bool recording, bool paused, bool unsaved, long recordedSeconds);

}  // namespace oxalis
