#include "link/PortSearch.h"

#include "link/Link.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "platform/Timers.h"

namespace oxalis {

void PortSearch::restart() {
  LinkState& state = link_.state;
  Timers& timers = link_.timers();
  timers.setEnabled(TimerId::Refresh, false);
  timers.setEnabled(TimerId::KeepAlive, false);
  state.rxIdle = true;
  state.linkUp = false;
  state.currentPort = 0;
  link_.queue.resetIndices();
  permissionReported_ = false;
  timers.setInterval(TimerId::Search, kIntervalNextPort);
  timers.setEnabled(TimerId::Search, true);
  state.tx.lastSentRecord.clear();
}

void PortSearch::tick() {
  LinkState& state = link_.state;
  SerialPort& port = link_.port();

  if (state.linkUp) {
    // A module answered since the previous tick: the search is over.
    if (state.currentPort >= 1 && state.currentPort <= kLastPort) {
      if (!port.isOpen()) link_.openPort(state.currentPort);
      link_.events().portShown(state.currentPort);
      link_.timers().setEnabled(TimerId::Search, false);
      if (state.streamRunning) link_.commands.startFrames();
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
  LinkState& state = link_.state;
  SerialPort& port = link_.port();
  Timers& timers = link_.timers();

  const PortOpenResult result = link_.openPort(state.currentPort);
  link_.events().portShown(state.currentPort);
  if (result != PortOpenResult::Ok) {
    timers.setInterval(TimerId::Search, kIntervalNextPort);
    if (result == PortOpenResult::PermissionDenied && !permissionReported_) {
      // A module may well be on this port: say so once per search, with
      // the fix. The search goes on meanwhile.
      permissionReported_ = true;
      link_.dialogs().message(port.lastOpenError(), "Error", MessageIcon::Warning);
    }
    return;
  }
  timers.setInterval(TimerId::Search, kIntervalListen);
  link_.commands.identify();
}

void PortSearch::fail() {
  LinkState& state = link_.state;
  // Everything settled before the box: ticks and bytes delivered while it
  // is open find the search stopped.
  link_.timers().setEnabled(TimerId::Search, false);
  state.rx.rxLine = state.rx.previousRxLine;
  link_.events().portShown(0);
  if (state.lastModulePort != 0) {
    // A module plugged in later answers the refresh tick's requests here.
    state.currentPort = state.lastModulePort;
    link_.openPort(state.currentPort);
    link_.events().portShown(state.currentPort);
  }
  link_.events().searchFailed();
  link_.dialogs().message("No device found", "Error", MessageIcon::Error);
}

}  // namespace oxalis
