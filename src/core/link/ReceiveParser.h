#pragma once
// Turns the module's byte stream into actions: single-character pacing and
// bootloader messages, and records that are assembled, checked and
// dispatched by type. One byte per call, on the user-interface thread.
#include <cstdint>
#include <string_view>

namespace oxalis {

class Link;

class ReceiveParser {
 public:
  // The longest record the receiver holds: its character count stops at
  // 255, and a record of LL data bytes is 2 LL + 11 characters long.
  static constexpr int kMaxReceivedLength = (255 - 11) / 2;

  explicit ReceiveParser(Link& link) : link_(link) {}

  void onByte(std::uint8_t c);

  // The link timed out: the next byte from a module reports it up again.
  void linkLost() { upReported_ = false; }
  // The identification reported the link up.
  void linkReportedUp() { upReported_ = true; }

 private:
  bool handleSingleCharacter(std::uint8_t c);
  void completeFrame();
  // Abandons the frame being received, logs why and counts it; the receiver
  // waits for the next ":".
  void dropFrame(std::string_view reason);

  Link& link_;
  bool upReported_ = false;
};

}  // namespace oxalis
