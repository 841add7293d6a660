#pragma once
// The command line of oxalis-sim:
//   oxalis-sim --port-dir DIR --port N [--device OX2|OXL|PNU|RMW|QTX]
//              [--serial S] [--seed S] [--corrupt P] [--drop P]
//              [--checksum-errors P] [--withhold-xon] [--silent]
//              [--unplug-after SECONDS [--replug-after SECONDS]]
//              [--ignore-writes-at OFFSET] [--stall-update-after N]
//              [--bootloader-version V]
//   oxalis-sim --make-firmware FILE [--firmware-version M.m]
//              [--bootloader-version V] [--kib N]
//   oxalis-sim --help
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/FirmwareImage.h"
#include "sim/SimOptions.h"

namespace oxalis::sim {

struct SimCommandLine {
  SimOptions options;
  std::filesystem::path portDir;
  int port = 0;
  std::optional<double> unplugAfterSeconds;
  // After the timed unplug: plug the module back in this much later.
  std::optional<double> replugAfterSeconds;
  bool help = false;
  // Set: write a firmware file here (`image`) and exit; no port is served.
  std::optional<std::filesystem::path> makeFirmware;
  FirmwareImageOptions image;
};

struct SimCommandLineResult {
  std::optional<SimCommandLine> commandLine;
  std::string error;  // why the arguments were refused, when commandLine is empty
};

// `arguments` without the program name.
SimCommandLineResult ParseSimCommandLine(std::span<const std::string_view> arguments);

std::string SimUsage();

}  // namespace oxalis::sim
