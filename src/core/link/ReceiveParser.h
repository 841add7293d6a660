#pragma once
// Turns the module's byte stream into actions: single-character pacing and
// bootloader messages, and records that are assembled, checked and
// dispatched by type. One byte per call, on the user-interface thread.
#include <cstdint>

namespace oxalis {

class Link;

class ReceiveParser {
 public:
  explicit ReceiveParser(Link& link) : link_(link) {}

  void onByte(std::uint8_t c);

  // The link timed out: the next byte from a module reports it up again.
  void linkLost() { upReported_ = false; }
  // The identification reported the link up.
  void linkReportedUp() { upReported_ = true; }

 private:
  bool handleSingleCharacter(std::uint8_t c);
  void completeFrame();

  Link& link_;
  bool upReported_ = false;
};

}  // namespace oxalis
