#pragma once
// A core connected through the in-process loopback port to simulated
// modules, with simulated time: run(ms) advances the modules and delivers
// their bytes millisecond by millisecond, and ticks the core's timers when
// their periods run out, as the event loop would. No wall clock, no sleeps.
#include <chrono>
#include <map>

#include "FakeClock.h"
#include "FakeDialogs.h"
#include "FakeTimers.h"
#include "app/Core.h"
#include "sim/LoopbackPort.h"
#include "sim/ModuleSimulator.h"

namespace oxalis::test {

struct SimulatedLink {
  SimulatedLink() {
    port.setByteHandler([this](std::uint8_t b) { core.onByte(b); });
    port.setLostHandler([this] { core.onPortLost(); });
  }

  // Puts a module of the given type on port n.
  sim::ModuleSimulator& plug(int portNumber, const std::string& device = "OX2", std::uint16_t serial = 1234) {
    sim::SimOptions options;
    options.device = device;
    options.serial = serial;
    auto& module = modules.try_emplace(portNumber, options).first->second;
    port.attach(portNumber, module);
    return module;
  }

  void run(int milliseconds) {
    for (int ms = 0; ms < milliseconds; ++ms) {
      port.advance(std::chrono::milliseconds(1));
      ++now;
      for (TimerId id : {TimerId::Search, TimerId::Refresh, TimerId::KeepAlive, TimerId::Replay})
        tickDue(id, [this, id] { core.onTimer(id); });
    }
  }

  // Runs until `done` holds or the time limit passes; returns the time taken.
  template <typename Condition>
  int runUntil(Condition done, int limitMs) {
    const int start = now;
    while (!done() && now - start < limitMs) run(1);
    return now - start;
  }

  sim::LoopbackPort port;
  FakeTimers timers;
  FakeDialogs dialogs;
  FakeClock clock;
  Core core{{port, timers, dialogs, clock}};
  std::map<int, sim::ModuleSimulator> modules;
  int now = 0;

 private:
  template <typename Tick>
  void tickDue(TimerId id, Tick tick) {
    auto& due = due_[static_cast<std::size_t>(id)];
    const auto& state = timers.state(id);
    if (state.restarts != due.restarts) due = {state.restarts, now + state.interval};
    if (!state.enabled || state.interval <= 0 || now < due.at) return;
    due.at = now + state.interval;
    tick();
  }
  struct Due {
    int restarts = -1;
    int at = 0;
  };
  std::array<Due, 5> due_{};
};

}  // namespace oxalis::test
