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
  bool rxFrameBad = false;     // the last completed frame failed its checksum
  std::string lastFrameText;   // previous measurement record, for the lost-frame report
  std::uint8_t lastFrameSeq = 0;
  // Breaks in the measurement records' sequence ("Perte de trame") since
  // start-up, counted whether the factory window shows them or not.
  std::uint32_t lostFrames = 0;
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
