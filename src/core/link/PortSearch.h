#pragma once
// The port search: the tool opens ports one after another, sends the
// identification request on each and listens; the first module that answers
// ends the search. The port of the last module found is tried first. A
// search without an answer starts again by itself, so a module plugged in
// later is found without the user asking.
#include <utility>
#include <vector>

#include "platform/SerialPort.h"

namespace oxalis {

class Link;

class PortSearch {
 public:
  static constexpr int kLastPort = 32;
  static constexpr int kIntervalNextPort = 50;     // after a port that could not be opened
  static constexpr int kIntervalListen = 100;      // after the request was sent on an open port
  static constexpr int kIntervalRetry = 2000;      // after a search without an answer, before the next

  // What each port that exists did during the last complete search: opened
  // (and did not answer), or why it could not be opened. Absent ports are
  // left out.
  using Attempt = std::pair<int, PortOpenResult>;
  const std::vector<Attempt>& tried() const { return tried_; }

  explicit PortSearch(Link& link) : link_(link) {}

  // The search button `SearchPort`: starts again from port 1.
  void restart();
  // `Timer_SearchPort` tick: one step of the search.
  void tick();

 private:
  void tryPort();
  void fail();

  Link& link_;
  bool chosenTried_ = false;     // the chosen port was tried and has not answered yet
  std::vector<Attempt> trying_;  // this pass
  std::vector<Attempt> tried_;   // the last complete pass
  bool restartFromFirst_ = false;
};

}  // namespace oxalis
