#pragma once
// The application's core: the shared state, the view models and the link,
// wired to the platform through the four interfaces. The Qt layer and the
// tests both build one of these.
#include "app/AppState.h"
#include "app/MainWindowModel.h"
#include "factory/FactoryModel.h"
#include "link/LinkLog.h"
#include "link/Requests.h"
#include "link/TransmitQueue.h"

namespace oxalis {

class SerialPort;
class Timers;
class Dialogs;
class Clock;

struct Platform {
  SerialPort& port;
  Timers& timers;
  Dialogs& dialogs;
  Clock& clock;
};

class Core {
 public:
  explicit Core(Platform platform)
      : platform(platform),
        log(state, factory),
        queue(state, platform.port, platform.dialogs, factory, log),
        commands(state, platform.port, factory, queue) {}

  Core(const Core&) = delete;
  Core& operator=(const Core&) = delete;

  // The port owner reports a lost port (adapter unplugged).
  void onPortLost() { queue.reportDisconnected(); }

  Platform platform;
  AppState state;
  MainWindowModel mainWindow;
  FactoryModel factory;
  LinkLog log;
  TransmitQueue queue;
  CommandSet commands;
};

}  // namespace oxalis
