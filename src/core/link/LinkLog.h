#pragma once
// The link log: lines appended to the factory window's log box while that
// window is visible and logging is switched on; dropped otherwise.
#include <string_view>

namespace oxalis {

struct AppState;
struct FactoryModel;

class LinkLog {
 public:
  // The box keeps about this much text; older lines are dropped first.
  static constexpr std::size_t kMaxText = 1 << 20;

  LinkLog(const AppState& state, FactoryModel& factory) : state_(state), factory_(factory) {}

  // Appends the text and a line break.
  void LogLine(std::string_view text);

 private:
  const AppState& state_;
  FactoryModel& factory_;
};

}  // namespace oxalis
