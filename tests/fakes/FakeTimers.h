#pragma once
// Timers whose state tests read. Like the real ones, enabling a timer or
// giving it a different interval starts its period again (`restarts` counts
// that, for VirtualTime). Ticks are delivered by calling the core's tick
// handlers directly, or by VirtualTime.
#include <array>

#include "platform/Timers.h"

namespace oxalis::test {

class FakeTimers : public Timers {
 public:
  struct State {
    bool enabled = false;
    int interval = 0;
    int restarts = 0;
  };

  void setEnabled(TimerId id, bool enabled) override {
    if (enabled && !at(id).enabled) ++at(id).restarts;
    at(id).enabled = enabled;
  }
  bool isEnabled(TimerId id) const override { return at(id).enabled; }
  void setInterval(TimerId id, int milliseconds) override {
    if (at(id).interval == milliseconds) return;
    at(id).interval = milliseconds;
    ++at(id).restarts;
  }
  int interval(TimerId id) const override { return at(id).interval; }
  const State& state(TimerId id) const { return at(id); }

 private:
  State& at(TimerId id) { return states_[static_cast<std::size_t>(id)]; }
  const State& at(TimerId id) const { return states_[static_cast<std::size_t>(id)]; }
  std::array<State, 5> states_{};
};

}  // namespace oxalis::test
