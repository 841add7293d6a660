#include "link/PortSearch.h"

#include "app/Core.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "platform/Timers.h"

namespace oxalis {

void PortSearch::restart() {
  AppState& state = core_.state;
  Timers& timers = core_.platform.timers;
  timers.setEnabled(TimerId::Refresh, false);
  timers.setEnabled(TimerId::KeepAlive, false);
  state.rxIdle = true;
  state.linkUp = false;
  state.currentPort = 0;
  core_.queue.resetIndices();
  permissionReported_ = false;
  timers.setInterval(TimerId::Search, kIntervalNextPort);
  timers.setEnabled(TimerId::Search, true);
  state.tx.lastSentRecord.clear();
}

void PortSearch::showPort(const std::string& text) {
  core_.mainWindow.panel(1) = text;
  core_.mainWindow.changed.notify();
}

void PortSearch::tick() {
  AppState& state = core_.state;
  SerialPort& port = core_.platform.port;

  if (state.linkUp) {
    // A module answered since the previous tick: the search is over.
    if (state.currentPort >= 1 && state.currentPort <= kLastPort) {
      if (!port.isOpen()) core_.openPort(state.currentPort);
      showPort("COM:" + std::to_string(state.currentPort));
      core_.platform.timers.setEnabled(TimerId::Search, false);
      if (state.streamRunning) core_.commands.StartFrames();
    }
    return;
  }

  if (state.firstSearchTick) {
    state.firstSearchTick = false;
    permissionReported_ = false;
    if (state.lastModulePort != 0) {
      tryPort();
      return;
    }
    state.currentPort = 0;
  }

  if (port.isOpen()) port.close();
  if (state.currentPort >= kLastPort) {
    fail();
    return;
  }
  ++state.currentPort;
  tryPort();
}

void PortSearch::tryPort() {
  AppState& state = core_.state;
  SerialPort& port = core_.platform.port;
  Timers& timers = core_.platform.timers;

  const PortOpenResult result = core_.openPort(state.currentPort);
  showPort("COM:" + std::to_string(state.currentPort));
  if (result != PortOpenResult::Ok) {
    timers.setInterval(TimerId::Search, kIntervalNextPort);
    if (result == PortOpenResult::PermissionDenied && !permissionReported_) {
      // A module may well be on this port: say so once per search, with
      // the fix. The search goes on meanwhile.
      permissionReported_ = true;
      core_.platform.dialogs.message(port.lastOpenError(), "Error", MessageIcon::Warning);
    }
    return;
  }
  timers.setInterval(TimerId::Search, kIntervalListen);
  core_.commands.IdentifyRequest();
}

void PortSearch::fail() {
  AppState& state = core_.state;
  // Everything settled before the box: ticks and bytes delivered while it
  // is open find the search stopped.
  core_.platform.timers.setEnabled(TimerId::Search, false);
  state.rx.rxLine = state.rx.previousRxLine;
  showPort("COM:??");
  if (state.lastModulePort != 0) {
    // A module plugged in later answers the refresh tick's requests here.
    state.currentPort = state.lastModulePort;
    core_.openPort(state.currentPort);
    showPort("COM:" + std::to_string(state.currentPort));
  }
  if (core_.hooks.stopRecording) core_.hooks.stopRecording();
  core_.platform.dialogs.message("No device found", "Error", MessageIcon::Error);
}

void PortSearch::chooseOfflineModule(const std::string& deviceCode) {
  AppState& state = core_.state;
  MainWindowModel& window = core_.mainWindow;
  state.deviceCode = deviceCode;
  window.oxalisOffLine.checked = deviceCode == "OX2";
  window.panoraOffLine.checked = deviceCode == "PNU";
  window.qtxOffLine.checked = deviceCode == "QTX";
  if (core_.hooks.layoutPanel) core_.hooks.layoutPanel();
  window.changed.notify();
}

}  // namespace oxalis
