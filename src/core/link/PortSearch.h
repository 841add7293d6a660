#pragma once
// The port search: the tool opens ports one after another, sends the
// identification request on each and listens; the first module that answers
// ends the search. The port of the last module found is tried first.
namespace oxalis {

class Link;

class PortSearch {
 public:
  static constexpr int kLastPort = 32;
  static constexpr int kIntervalNextPort = 50;     // after a port that could not be opened
  static constexpr int kIntervalListen = 100;      // after the request was sent on an open port

  explicit PortSearch(Link& link) : link_(link) {}

  // The search button `SearchPort`: starts again from port 1.
  void restart();
  // `Timer_SearchPort` tick: one step of the search.
  void tick();

 private:
  void tryPort();
  void fail();

  Link& link_;
  bool permissionReported_ = false;
};

}  // namespace oxalis
