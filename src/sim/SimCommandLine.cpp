#include "sim/SimCommandLine.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <utility>

namespace oxalis::sim {

namespace {

template <typename T>
std::optional<T> Number(std::string_view text) {
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<long long> Integer(std::string_view text, long long low, long long high) {
  const auto value = Number<long long>(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

std::optional<double> Probability(std::string_view text) {
  const auto value = Number<double>(text);
  if (!value || !(*value >= 0.0 && *value <= 1.0)) return std::nullopt;
  return value;
}

// "M" or "M.m", each part 0..255.
std::optional<std::pair<std::uint8_t, std::uint8_t>> Version(std::string_view text) {
  const auto dot = text.find('.');
  const auto major = Integer(text.substr(0, dot), 0, 255);
  const auto minor =
      dot == std::string_view::npos ? std::optional<long long>(0) : Integer(text.substr(dot + 1), 0, 255);
  if (!major || !minor) return std::nullopt;
  return std::pair{static_cast<std::uint8_t>(*major), static_cast<std::uint8_t>(*minor)};
}

}  // namespace

std::string SimUsage() {
  return "usage: oxalis-sim --port-dir DIR --port N [options]\n"
         "       oxalis-sim --make-firmware FILE [--firmware-version M.m] [--bootloader-version V] [--kib N]\n"
         "Serves a simulated module on a pseudo-terminal linked as DIR/COMN.\n"
         "  --port-dir DIR          folder of the COMn links (created if needed)\n"
         "  --port N                port number, 1..32\n"
         "  --device CODE           OX2 (default), OXL, PNU, RMW or QTX\n"
         "  --serial S              serial number, 0..65535 (default 1234)\n"
         "  --seed S                seed of the signal noise and the faults (default 1)\n"
         "  --corrupt P             corrupt each byte sent with probability P (0..1)\n"
         "  --drop P                lose each byte sent with probability P (0..1)\n"
         "  --checksum-errors P     answer intact records with a checksum error with probability P\n"
         "  --withhold-xon          never send XON after a record\n"
         "  --ignore-writes-at OFF  acknowledge writes to configuration offset OFF (0..255,\n"
         "                          or 0x00..0xFF) but keep the byte as it was\n"
         "  --silent                send nothing and ignore everything received\n"
         "  --stall-update-after N  the bootloader hangs (no XON, no reply) after N records\n"
         "  --bootloader-version V  the module's bootloader version in tenths, 0..255 (default 23);\n"
         "                          with --make-firmware: the file's bootloader part and its version\n"
         "  --unplug-after SECONDS  remove the port after this many seconds\n"
         "  --replug-after SECONDS  with --unplug-after: plug it back in this much later\n"
         "  --make-firmware FILE    write a firmware file for the simulated module and exit\n"
         "  --firmware-version M.m  with --make-firmware: the firmware's version (default 1.0)\n"
         "  --kib N                 with --make-firmware: KiB of firmware code from 0x0800, 1..62\n"
         "                          (default 32)\n"
         "  --help                  show this text\n"
         "SIGUSR1 unplugs the module at once, SIGUSR2 plugs it back in; SIGRTMIN\n"
         "makes it silent (as --silent) and SIGRTMIN+1 makes it talk again.\n"
         "Runs until interrupted (SIGINT or SIGTERM), then removes the link.\n";
}

SimCommandLineResult ParseSimCommandLine(std::span<const std::string_view> arguments) {
  SimCommandLine line;
  bool havePort = false, haveDir = false;
  // Options that only make sense with --make-firmware, and the file's
  // bootloader version (which is the module's without --make-firmware).
  std::string_view imageOnlyOption;
  std::optional<std::uint8_t> bootloaderVersion;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view option = arguments[i];
    const auto refuse = [&](std::string_view why) {
      return SimCommandLineResult{std::nullopt, std::string(option) + ": " + std::string(why)};
    };
    if (option == "--help" || option == "-h") {
      line.help = true;
      return {line, {}};
    }
    if (option == "--withhold-xon") {
      line.options.faults.withholdXon = true;
      continue;
    }
    if (option == "--silent") {
      line.options.faults.silent = true;
      continue;
    }
    // clang-format off
    constexpr std::string_view kWithValue[] = {"--port-dir", "--port", "--device",          "--serial",      "--seed",
                                               "--corrupt",  "--drop", "--checksum-errors", "--unplug-after",
                                               "--replug-after", "--ignore-writes-at", "--stall-update-after",
                                               "--bootloader-version", "--make-firmware", "--firmware-version",
                                               "--kib"};
    // clang-format on
    if (std::find(std::begin(kWithValue), std::end(kWithValue), option) == std::end(kWithValue))
      return refuse("unknown option (see --help)");
    if (i + 1 >= arguments.size()) return refuse("needs a value");
    const std::string_view value = arguments[++i];
    if (option == "--port-dir") {
      if (value.empty()) return refuse("needs a folder");
      line.portDir = std::filesystem::path(value);
      haveDir = true;
    } else if (option == "--port") {
      const auto n = Integer(value, 1, 32);
      if (!n) return refuse("a port number 1..32 expected, not \"" + std::string(value) + "\"");
      line.port = static_cast<int>(*n);
      havePort = true;
    } else if (option == "--device") {
      if (!IsKnownDeviceCode(value))
        return refuse("OX2, OXL, PNU, RMW or QTX expected, not \"" + std::string(value) + "\"");
      line.options.device = std::string(value);
    } else if (option == "--serial") {
      const auto n = Integer(value, 0, 65535);
      if (!n) return refuse("a serial number 0..65535 expected, not \"" + std::string(value) + "\"");
      line.options.serial = static_cast<std::uint16_t>(*n);
    } else if (option == "--seed") {
      const auto n = Integer(value, 0, 0xFFFFFFFFLL);
      if (!n) return refuse("a seed 0..4294967295 expected, not \"" + std::string(value) + "\"");
      line.options.seed = static_cast<std::uint32_t>(*n);
    } else if (option == "--corrupt" || option == "--drop" || option == "--checksum-errors") {
      const auto p = Probability(value);
      if (!p) return refuse("a probability 0..1 expected, not \"" + std::string(value) + "\"");
      double& target = option == "--corrupt" ? line.options.faults.corruptProbability
                       : option == "--drop"  ? line.options.faults.dropProbability
                                             : line.options.faults.checksumErrorProbability;
      target = *p;
    } else if (option == "--ignore-writes-at") {
      const bool hex = value.starts_with("0x") || value.starts_with("0X");
      std::optional<long long> n;
      if (hex) {
        long long v = 0;
        const std::string_view digits = value.substr(2);
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, 16);
        if (ec == std::errc() && end == digits.data() + digits.size() && !digits.empty()) n = v;
      } else {
        n = Number<long long>(value);
      }
      if (!n || *n < 0 || *n > 255)
        return refuse("a configuration offset 0..255 or 0x00..0xFF expected, not \"" + std::string(value) + "\"");
      line.options.faults.ignoreWritesAt = static_cast<std::uint8_t>(*n);
    } else if (option == "--unplug-after" || option == "--replug-after") {
      const auto seconds = Number<double>(value);
      if (!seconds || !(*seconds >= 0.0))
        return refuse("a number of seconds expected, not \"" + std::string(value) + "\"");
      (option == "--unplug-after" ? line.unplugAfterSeconds : line.replugAfterSeconds) = *seconds;
    } else if (option == "--stall-update-after") {
      const auto n = Integer(value, 0, 1000000000);
      if (!n) return refuse("a number of records expected, not \"" + std::string(value) + "\"");
      line.options.faults.stallUpdateAfter = static_cast<int>(*n);
    } else if (option == "--bootloader-version") {
      const auto n = Integer(value, 0, 255);
      if (!n) return refuse("a version in tenths 0..255 expected, not \"" + std::string(value) + "\"");
      bootloaderVersion = static_cast<std::uint8_t>(*n);
    } else if (option == "--make-firmware") {
      if (value.empty()) return refuse("needs a file name");
      line.makeFirmware = std::filesystem::path(value);
    } else if (option == "--firmware-version") {
      const auto version = Version(value);
      if (!version) return refuse("a version M.m (each 0..255) expected, not \"" + std::string(value) + "\"");
      line.image.firmwareMajor = version->first;
      line.image.firmwareMinor = version->second;
      imageOnlyOption = option;
    } else if (option == "--kib") {
      const auto n = Integer(value, 1, static_cast<long long>(kMaxFirmwareBytes / 1024));
      if (!n) return refuse("a size 1..62 KiB expected, not \"" + std::string(value) + "\"");
      line.image.firmwareBytes = static_cast<std::size_t>(*n) * 1024;
      imageOnlyOption = option;
    }
  }
  if (line.makeFirmware) {
    line.image.bootloaderVersion = bootloaderVersion;
    return {line, {}};
  }
  if (!imageOnlyOption.empty()) return {std::nullopt, std::string(imageOnlyOption) + ": needs --make-firmware"};
  if (bootloaderVersion) line.options.bootloaderVersion = *bootloaderVersion;
  if (!haveDir) return {std::nullopt, "--port-dir is required"};
  if (!havePort) return {std::nullopt, "--port is required"};
  if (line.replugAfterSeconds && !line.unplugAfterSeconds)
    return {std::nullopt, "--replug-after: needs --unplug-after"};
  return {line, {}};
}

}  // namespace oxalis::sim
