#pragma once
// Turns the module's byte stream into actions: single-character pacing and
// bootloader messages, and records that are assembled, checked and
// dispatched by type. One byte per call, on the user-interface thread.
#include <cstdint>

namespace oxalis {

class Core;

class ReceiveParser {
 public:
  explicit ReceiveParser(Core& core) : core_(core) {}

  void onByte(std::uint8_t c);

 private:
  bool handleSingleCharacter(std::uint8_t c);
  void completeFrame();

  Core& core_;
};

}  // namespace oxalis
