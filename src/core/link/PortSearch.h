#pragma once
// The port search: the tool opens ports one after another, sends the
// identification request on each and listens; the first module that answers
// ends the search. The port of the last module found is tried first.
#include <string>

namespace oxalis {

class Core;

class PortSearch {
 public:
  static constexpr int kLastPort = 32;
  static constexpr int kIntervalNextPort = 50;     // after a port that could not be opened
  static constexpr int kIntervalListen = 100;      // after the request was sent on an open port

  explicit PortSearch(Core& core) : core_(core) {}

  // The search button `SearchPort`: starts again from port 1.
  void restart();
  // `Timer_SearchPort` tick: one step of the search.
  void tick();

  // Offline module choice: "OX2" (&Oxalis), "PNU" (&Panora) or "QTX" (&QTX).
  void chooseOfflineModule(const std::string& deviceCode);

 private:
  void tryPort();
  void fail();
  void showPort(const std::string& text);

  Core& core_;
  bool permissionReported_ = false;
};

}  // namespace oxalis
