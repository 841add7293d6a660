// The command line of oxalis-sim.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "sim/SimCommandLine.h"

namespace oxalis::sim {
namespace {

SimCommandLineResult Parse(std::vector<std::string_view> arguments) { return ParseSimCommandLine(arguments); }

TEST(SimCommandLine, ReadsEveryOption) {
  const auto r =
      Parse({"--port-dir",     "/tmp/p",   "--port",         "32",   "--device", "QTX", "--serial",          "65535",
             "--seed",         "7",        "--corrupt",      "0.25", "--drop",   "0",   "--checksum-errors", "1",
             "--withhold-xon", "--silent", "--unplug-after", "2.5", "--replug-after", "1", "--ignore-writes-at", "0x3A"});
  ASSERT_TRUE(r.commandLine) << r.error;
  const SimCommandLine& c = *r.commandLine;
  EXPECT_EQ(c.portDir, "/tmp/p");
  EXPECT_EQ(c.port, 32);
  EXPECT_EQ(c.options.device, "QTX");
  EXPECT_EQ(c.options.serial, 65535);
  EXPECT_EQ(c.options.seed, 7u);
  EXPECT_DOUBLE_EQ(c.options.faults.corruptProbability, 0.25);
  EXPECT_DOUBLE_EQ(c.options.faults.dropProbability, 0.0);
  EXPECT_DOUBLE_EQ(c.options.faults.checksumErrorProbability, 1.0);
  EXPECT_TRUE(c.options.faults.withholdXon);
  EXPECT_TRUE(c.options.faults.silent);
  EXPECT_EQ(c.options.faults.ignoreWritesAt, std::optional<std::uint8_t>(0x3A));
  ASSERT_TRUE(c.unplugAfterSeconds);
  EXPECT_DOUBLE_EQ(*c.unplugAfterSeconds, 2.5);
  ASSERT_TRUE(c.replugAfterSeconds);
  EXPECT_DOUBLE_EQ(*c.replugAfterSeconds, 1.0);
  EXPECT_FALSE(c.help);
}

TEST(SimCommandLine, DefaultsToAHealthyOx2) {
  const auto r = Parse({"--port", "1", "--port-dir", "d"});
  ASSERT_TRUE(r.commandLine) << r.error;
  EXPECT_EQ(r.commandLine->options.device, "OX2");
  EXPECT_EQ(r.commandLine->options.serial, 1234);
  EXPECT_FALSE(r.commandLine->options.faults.silent);
  EXPECT_FALSE(r.commandLine->unplugAfterSeconds);
}

TEST(SimCommandLine, HelpNeedsNothingElse) {
  const auto r = Parse({"--help"});
  ASSERT_TRUE(r.commandLine);
  EXPECT_TRUE(r.commandLine->help);
  EXPECT_NE(SimUsage().find("--unplug-after"), std::string::npos);
}

TEST(SimCommandLine, BootloaderVersionIsTheModulesOrWithMakeFirmwareTheFilesWhichNeedsNoPort) {
  const auto module =
      Parse({"--port-dir", "d", "--port", "1", "--stall-update-after", "40", "--bootloader-version", "12"});
  ASSERT_TRUE(module.commandLine) << module.error;
  EXPECT_EQ(module.commandLine->options.faults.stallUpdateAfter, std::optional<int>(40));
  EXPECT_EQ(module.commandLine->options.bootloaderVersion, 12);
  EXPECT_FALSE(module.commandLine->makeFirmware);

  const auto file =
      Parse({"--make-firmware", "f.OX2", "--firmware-version", "2.7", "--bootloader-version", "13", "--kib", "62"});
  ASSERT_TRUE(file.commandLine) << file.error;
  const FirmwareImageOptions& image = file.commandLine->image;
  EXPECT_EQ(file.commandLine->makeFirmware, std::optional<std::filesystem::path>("f.OX2"));
  EXPECT_EQ(std::tuple(image.firmwareMajor, image.firmwareMinor, image.firmwareBytes), std::tuple(2, 7, 62u * 1024));
  EXPECT_EQ(image.bootloaderVersion, std::optional<std::uint8_t>(13));
  EXPECT_EQ(file.commandLine->options.bootloaderVersion, SimOptions{}.bootloaderVersion);
}

TEST(SimCommandLine, RefusesBadValuesNamingTheOption) {
  const struct {
    std::vector<std::string_view> arguments;
    const char* mentions;
  } cases[] = {
      {{"--port-dir", "d"}, "--port is required"},
      {{"--port", "3"}, "--port-dir is required"},
      {{"--port-dir", "d", "--port", "0"}, "--port"},
      {{"--port-dir", "d", "--port", "33"}, "1..32"},
      {{"--port-dir", "d", "--port", "3x"}, "3x"},
      {{"--port-dir", "d", "--port", "3", "--device", "ox2"}, "--device"},
      {{"--port-dir", "d", "--port", "3", "--serial", "65536"}, "--serial"},
      {{"--port-dir", "d", "--port", "3", "--seed", "-1"}, "--seed"},
      {{"--port-dir", "d", "--port", "3", "--corrupt", "1.5"}, "--corrupt"},
      {{"--port-dir", "d", "--port", "3", "--drop", "nan"}, "--drop"},
      {{"--port-dir", "d", "--port", "3", "--unplug-after", "-2"}, "--unplug-after"},
      {{"--port-dir", "d", "--port", "3", "--replug-after", "1"}, "needs --unplug-after"},
      {{"--port-dir", "d", "--port", "3", "--ignore-writes-at", "256"}, "--ignore-writes-at"},
      {{"--port-dir", "d", "--port", "3", "--ignore-writes-at", "0x"}, "--ignore-writes-at"},
      {{"--port-dir", "d", "--port", "3", "--frobnicate"}, "unknown option"},
      {{"--port-dir", "d", "--port", "3", "--stall-update-after", "-1"}, "--stall-update-after"},
      {{"--port-dir", "d", "--port", "3", "--bootloader-version", "256"}, "--bootloader-version"},
      {{"--port-dir", "d", "--port", "3", "--kib", "4"}, "--kib: needs --make-firmware"},
      {{"--make-firmware", "f", "--kib", "63"}, "--kib"},
      {{"--make-firmware", "f", "--kib", "0"}, "--kib"},
      {{"--make-firmware", "f", "--firmware-version", "2.x"}, "--firmware-version"},
      {{"--make-firmware", "f", "--firmware-version", "256.0"}, "--firmware-version"},
      {{"--port-dir", "d", "--port"}, "needs a value"},
  };
  for (const auto& c : cases) {
    const auto r = ParseSimCommandLine(c.arguments);
    EXPECT_FALSE(r.commandLine) << c.mentions;
    EXPECT_NE(r.error.find(c.mentions), std::string::npos) << r.error;
  }
}

}  // namespace
}  // namespace oxalis::sim
