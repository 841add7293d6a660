#pragma once
// Timers whose state tests read; ticks are delivered by calling the core's
// tick handlers directly.
#include <array>

#include "platform/Timers.h"

namespace oxalis::test {

class FakeTimers : public Timers {
 public:
  void setEnabled(TimerId id, bool enabled) override { at(id).enabled = enabled; }
  bool isEnabled(TimerId id) const override { return at(id).enabled; }
  void setInterval(TimerId id, int milliseconds) override { at(id).interval = milliseconds; }
  int interval(TimerId id) const override { return at(id).interval; }

 private:
  struct State {
    bool enabled = false;
    int interval = 0;
  };
  State& at(TimerId id) { return states_[static_cast<std::size_t>(id)]; }
  const State& at(TimerId id) const { return states_[static_cast<std::size_t>(id)]; }
  std::array<State, 4> states_{};
};

}  // namespace oxalis::test
