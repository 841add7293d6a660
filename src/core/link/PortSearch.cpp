#include "link/PortSearch.h"

#include "link/Link.h"
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
  trying_.clear();
  restartFromFirst_ = false;
  chosenTried_ = false;
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
    chosenTried_ = false;
    return;
  }

  if (state.chosenPort != 0) {
    // A port chosen by the user is tried alone: a silence there is a
    // failed search, and the next one tries it again.
    if (port.isOpen()) port.close();
    if (chosenTried_) {
      chosenTried_ = false;
      fail();
      return;
    }
    chosenTried_ = true;
    state.currentPort = state.chosenPort;
    tryPort();
    return;
  }

  if (state.firstSearchTick) {
    state.firstSearchTick = false;
    trying_.clear();
    if (state.lastModulePort != 0) {
      tryPort();
      return;
    }
    state.currentPort = 0;
  }
  if (restartFromFirst_) {
    restartFromFirst_ = false;
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
  Timers& timers = link_.timers();

  const PortOpenResult result = link_.openPort(state.currentPort);
  link_.events().portShown(state.currentPort);
  if (result != PortOpenResult::Absent) trying_.emplace_back(state.currentPort, result);
  if (result != PortOpenResult::Ok) {
    timers.setInterval(TimerId::Search, kIntervalNextPort);
    return;
  }
  timers.setInterval(TimerId::Search, kIntervalListen);
  link_.commands.identify();
}

void PortSearch::fail() {
  LinkState& state = link_.state;
  tried_ = std::move(trying_);
  trying_.clear();
  state.rx.rxLine = state.rx.previousRxLine;
  link_.events().portShown(0);
  if (state.lastModulePort != 0) {
    // A module plugged in later answers the refresh tick's requests here.
    state.currentPort = state.lastModulePort;
    link_.openPort(state.currentPort);
    link_.events().portShown(state.currentPort);
  }
  link_.events().searchFailed();
  // The next pass starts from port 1 a moment later; meanwhile the last
  // module's port stays open for a module that answers there.
  restartFromFirst_ = true;
  link_.timers().setInterval(TimerId::Search, kIntervalRetry);
  link_.timers().setEnabled(TimerId::Search, true);
}

}  // namespace oxalis
