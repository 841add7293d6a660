#pragma once
// How a simulated module is built, and the faults it can be told to show.
#include <cstdint>
#include <optional>
#include <string>

#include "sim/ModuleType.h"

namespace oxalis::sim {

// Faults of the simulated module, each independent of the others. They can be
// set when the module is built and changed at any time. Pulling the adapter
// out is not a fault of the module: the hosts (LoopbackPort::unplug,
// PtyHost::unplug) do that.
struct SimFaults {
  // Every byte the module sends is replaced by a different random byte with
  // this probability (a noisy line).
  double corruptProbability = 0.0;
  // Every byte the module sends is lost with this probability.
  double dropProbability = 0.0;
  // A record that arrived intact is nevertheless answered with the
  // checksum-error message 0xC3 (followed by XON) and not acted upon, with
  // this probability.
  double checksumErrorProbability = 0.0;
  // Records are acted upon but the XON that should follow each is not sent,
  // so a tool that paces its records on XON stalls.
  bool withholdXon = false;
  // The module sends nothing at all (no replies, no XON, no measurement
  // records) and ignores everything it receives. Its clock keeps running.
  bool silent = false;
  // Writes to this configuration offset are acknowledged like any other
  // but leave the byte as it was (a worn memory cell).
  std::optional<std::uint8_t> ignoreWritesAt{};
  // The bootloader hangs in the middle of a firmware update: after this many
  // intact records received in the bootloader it sends nothing more (no XON,
  // no reply, no end of update) and ignores everything it receives.
  std::optional<int> stallUpdateAfter{};
};

struct SimOptions {
  // Three-letter device code: "OXL", "OX2", "PNU", "RMW" or "QTX". Any other
  // code is reported as it is by the identification and otherwise behaves
  // as OX2.
  std::string device = "OX2";
  std::uint16_t serial = 1234;
  // Unset: the believable default of the type (DefaultVersion).
  std::optional<ModuleVersion> version{};
  // Bootloader version byte at 0x0050 of program memory, in tenths (23 is
  // 2.3); 255 stands for an erased byte.
  std::uint8_t bootloaderVersion = 23;
  // User-code identifier stored at 0x1000 + serial number in program memory.
  std::uint16_t userCode = 20517;
  // Probe used time at power on, in hundredths of a second (12 h 34 min 56 s).
  std::uint32_t usedTime = 4529600;
  // Seed of the signal noise and of the random faults.
  std::uint32_t seed = 1;
  SimFaults faults{};
};

}  // namespace oxalis::sim
