#pragma once
// Receive state of the link and what the identification reply tells about
// the module.
#include <array>
#include <cstdint>
#include <string>

namespace oxalis {

struct RxState {
  std::string rxLine;          // the frame being assembled, beginning with ":"
  std::string previousRxLine;  // rxLine as it was when the last ":" arrived
  std::uint8_t rxCharCount = 0;  // characters of the frame so far, ":" included; stops at 255
  std::uint8_t rxHighNibble = 0;
  std::uint8_t rxLowNibble = 0;
  // Decoded bytes: [1] LL, [2] address high, [3] address low, [4] type,
  // [5 .. 4+LL] data, [5+LL] checksum.
  std::array<std::uint8_t, 129> rxFrame{};
  bool rxFrameBad = false;     // the last frame failed its checksum or was dropped as damaged
  std::string lastFrameText;   // previous measurement record, for the lost-frame report
  std::uint8_t lastFrameSeq = 0;
  // Measurement records missing from the sequence since start-up: a jump
  // from 10 to 15 lost 4. Counted whether the factory window shows the
  // breaks ("Perte de trame") or not.
  std::uint32_t lostFrames = 0;
  // Records dropped as damaged although their checksum may pass: a character
  // that is not a hex digit, a length the receiver cannot hold, or a
  // measurement record whose length is not its module type's.
  std::uint32_t droppedRecords = 0;
  bool updateOk = false;       // the bootloader reported a successful update
};

struct ModuleIdentity {
  // Type of the module: "OX2", "OXL", "PNU", "RMW", "QTX"; the type assumed
  // before any module is found comes from the settings file.
  std::string deviceCode = "OX2";
  std::int32_t serialNumber = 0;
  // For OXL only hwMajor and fwMajor are set, each the version times ten.
  std::uint8_t hwMajor = 0;
  std::uint8_t hwMinor = 0;
  std::uint8_t fwMajor = 0;
  std::uint8_t fwMinor = 0;
};

}  // namespace oxalis
