// The simulated module's bootloader, fed as the firmware window feeds it: one
// record at a time, the next only after the module's XON.
#include <gtest/gtest.h>

#include <vector>

#include "SimTestSupport.h"
#include "sim/FirmwareImage.h"
#include "sim/ModuleSimulator.h"

namespace oxalis::sim {
namespace {

using namespace test;
using std::chrono::milliseconds;

const std::string kRestart = ":00000120DF";

std::vector<std::string> LinesOf(const std::string& file) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < file.size();) {
    const std::size_t end = file.find("\r\n", at);
    lines.push_back(file.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

std::uint8_t LastByte(const std::string& line) { return HexToByte(line.substr(line.size() - 2)); }

enum class End { Checksum, WrongChecksum, None };

struct FlashRun {
  std::string replies;  // every single-character message but XON
  int answered = 0;     // records followed by XON
};

// The restart record, then every line of `file` as the tool sends it in
// firmware mode (the end record replaced by `end`), one per 10 ms tick.
// Stops at the first record left without XON.
FlashRun Flash(ModuleSimulator& sim, const std::string& file, End end) {
  FlashRun run;
  std::uint8_t sum = 0;
  std::vector<std::string> records = {kRestart};
  for (const std::string& line : LinesOf(file)) {
    if (line != ":00000001FF") {
      sum = static_cast<std::uint8_t>(sum + LastByte(line));
      records.push_back(line);
    } else if (end != End::None) {
      records.push_back(Request(0x01, end == End::Checksum ? sum : static_cast<std::uint8_t>(sum + 1)));
    }
  }
  for (const std::string& record : records) {
    sim.receive(record + "\r\n");
    sim.advance(milliseconds(10));
    bool xon = false;
    for (const Sent& s : SplitOutput(sim.takeOutput())) {
      if (s.record) continue;  // measurement records of the new firmware
      xon = xon || s.single == kXon;
      if (s.single != kXon) run.replies.push_back(static_cast<char>(s.single));
    }
    if (!xon) return run;
    ++run.answered;
  }
  sim.advance(milliseconds(600));
  for (const Sent& s : SplitOutput(sim.takeOutput()))
    if (!s.record && s.single != kXon) run.replies.push_back(static_cast<char>(s.single));
  return run;
}

std::vector<std::uint8_t> Identification(ModuleSimulator& sim) {
  sim.receive(kIdentify);
  const auto records = RecordsOf(sim.takeOutput(), 0x12);
  return records.empty() ? std::vector<std::uint8_t>{} : records[0].data;
}

TEST(Bootloader, EndsAnUpdateByItsVersionsRuleAndRunsTheNewFirmware) {
  const struct {
    const char* what;
    std::string device;
    std::uint8_t bootloaderVersion;
    End end;
    std::uint8_t reply;
    std::vector<std::uint8_t> versionBytes;  // identification bytes after the code
  } cases[] = {
      {"checked end record", "OX2", 13, End::Checksum, kUpdateSuccessful, {2, 7}},
      {"wrong end checksum", "OX2", 13, End::WrongChecksum, kFirmwareChecksumError, {}},
      {"version 12: quiet end", "PNU", 12, End::None, kUpdateSuccessful, {2, 7}},
      {"erased version: quiet end", "OX2", 255, End::None, kUpdateSuccessful, {2, 7}},
      {"OXL: one version byte", "OXL", 23, End::Checksum, kUpdateSuccessful, {27}},
  };
  const std::string file =
      MakeFirmwareImage({.firmwareBytes = 4096, .firmwareMajor = 2, .firmwareMinor = 7, .bootloaderVersion = 40});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ModuleSimulator sim({.device = c.device, .bootloaderVersion = c.bootloaderVersion});
    const std::vector<std::uint8_t> before = Identification(sim);
    sim.receive(kStartFrames);
    sim.advance(milliseconds(100));
    sim.takeOutput();

    const FlashRun run = Flash(sim, file, c.end);
    EXPECT_EQ(run.replies, Bytes({c.reply}));
    const bool success = c.reply == kUpdateSuccessful;
    EXPECT_EQ(sim.inBootloader(), !success);

    // The old firmware's, or the image's version after the code and type.
    std::vector<std::uint8_t> expected = before;
    if (success) std::copy(c.versionBytes.begin(), c.versionBytes.end(), expected.end() - c.versionBytes.size());
    if (success) {
      EXPECT_EQ(Identification(sim), expected);
      sim.advance(milliseconds(100));
      EXPECT_EQ(RecordsOf(sim.takeOutput(), 0x13).size(), 5u) << "streams again";
    } else {
      EXPECT_EQ(Identification(sim), std::vector<std::uint8_t>{}) << "the bootloader does not identify";
      EXPECT_EQ(sim.configuration()[cfg::kIdentity + 4], before[before.size() - 2]);
    }
    // The bootloader never overwrites itself.
    EXPECT_EQ(sim.programMemory()[prog::kBootloaderVersion], c.bootloaderVersion);
  }
}

TEST(Bootloader, RejectsDamagedRecordsAndCountsAResendOnce) {
  ModuleSimulator sim;
  sim.receive(kRestart);
  EXPECT_EQ(sim.takeOutput(), "\x11");
  const std::string good = Request(0x00, 0x0800, Bytes({3, 1, 0xAA}));
  std::string badChecksum = good, badDigit = good;
  badChecksum[badChecksum.size() - 1] ^= 1;
  badDigit[10] = 'g';
  const struct {
    std::string record;
    std::string answer;
  } steps[] = {
      {kProgramArea, "\x11"}, {badChecksum, "\xC3\x11"}, {badDigit, "\xC3\x11"}, {good, "\x11"},
      {good, "\x11"},  // sent again: counts once
      {Request(0x01, static_cast<std::uint16_t>(LastByte(kProgramArea) + LastByte(good)) & 0xFF), "\xFA\x11"},
  };
  for (const auto& step : steps) {
    sim.receive(step.record);
    EXPECT_EQ(sim.takeOutput(), step.answer) << step.record;
  }
  EXPECT_FALSE(sim.inBootloader());
  EXPECT_EQ(Identification(sim).at(6), 1) << "firmware 3.1";
}

TEST(Bootloader, RunningFirmwareWritesANewBootloaderBelowTheFirmware) {
  ModuleSimulator sim({.bootloaderVersion = 11});
  const std::vector<std::uint8_t> identity = Identification(sim);
  const std::string file = MakeFirmwareImage({.firmwareBytes = 1024, .bootloaderVersion = 14});
  sim.receive(kProgramArea);
  EXPECT_EQ(sim.takeOutput(), "\x11");
  for (const std::string& line : LinesOf(file)) {
    if (line.find(":10080000") != std::string::npos) break;
    sim.receive(line + "\r\n");
    EXPECT_EQ(sim.takeOutput(), "\x11") << line;
  }
  sim.receive(ReadMemory(0x0050, 1));
  const auto replies = RecordsOf(sim.takeOutput(), 0x11);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].data, std::vector<std::uint8_t>{14});
  EXPECT_FALSE(sim.inBootloader());
  EXPECT_EQ(Identification(sim), identity);
}

TEST(Bootloader, StallFaultHangsTheUpdateAfterItsRecordCount) {
  for (const std::uint8_t version : {std::uint8_t{12}, std::uint8_t{13}}) {
    SimOptions options{.bootloaderVersion = version};
    options.faults.stallUpdateAfter = 5;
    ModuleSimulator sim(options);
    const FlashRun run = Flash(sim, MakeFirmwareImage({.firmwareBytes = 1024}), End::Checksum);
    EXPECT_EQ(run.answered, 1 + 5) << "the restart record, then five in the bootloader";
    EXPECT_EQ(run.replies, "");
    sim.receive(":00000001FF" + kIdentify);
    sim.advance(milliseconds(1000));
    EXPECT_EQ(sim.takeOutput(), "");
    EXPECT_TRUE(sim.inBootloader());
  }
}

TEST(FirmwareImage, EveryLineIsARecordAndTheBytesLieWhereAsked) {
  const FirmwareImageOptions cases[] = {
      {},
      {.firmwareBytes = 1024, .firmwareMajor = 3, .firmwareMinor = 9, .bootloaderVersion = 13},
      {.firmwareBytes = kMaxFirmwareBytes, .bootloaderVersion = 255},
  };
  for (const FirmwareImageOptions& o : cases) {
    SCOPED_TRACE(o.firmwareBytes);
    const std::string file = MakeFirmwareImage(o);
    EXPECT_EQ(file, MakeFirmwareImage(o));
    const std::vector<std::string> lines = LinesOf(file);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
    EXPECT_EQ(lines.front(), ":020000040000FA");
    EXPECT_EQ(lines.back(), ":00000001FF");
    std::vector<int> memory(kProgramMemorySize, -1);
    int versionLines = 0, firstFirmwareLines = 0;
    for (const std::string& line : lines) {
      const auto records = SplitOutput(line);
      ASSERT_EQ(records.size(), 1u) << line;
      ASSERT_TRUE(records[0].record && records[0].checksumOk) << line;
      EXPECT_EQ(line.find_first_not_of(":0123456789ABCDEF"), std::string::npos) << line;
      versionLines += line.starts_with(":02005000");
      firstFirmwareLines += line.starts_with(":10080000");
      if (records[0].type != 0x00) continue;
      EXPECT_LE(records[0].data.size(), 16u);
      for (std::size_t i = 0; i < records[0].data.size(); ++i) {
        int& cell = memory.at(records[0].address + i);
        EXPECT_EQ(cell, -1) << "written twice";
        cell = records[0].data[i];
      }
    }
    EXPECT_EQ(versionLines, o.bootloaderVersion ? 1 : 0);
    EXPECT_EQ(firstFirmwareLines, 1);
    const std::size_t begin = o.bootloaderVersion ? 0 : prog::kFirmwareStart;
    const std::size_t end = prog::kFirmwareStart + o.firmwareBytes;
    for (std::size_t a = 0; a < kProgramMemorySize; ++a) ASSERT_EQ(memory[a] >= 0, a >= begin && a < end) << a;
    EXPECT_EQ(memory[prog::kFirmwareVersion], o.firmwareMajor);
    EXPECT_EQ(memory[prog::kFirmwareVersion + 1], o.firmwareMinor);
    if (o.bootloaderVersion) {
      EXPECT_EQ(memory[prog::kBootloaderVersion], *o.bootloaderVersion);
    }
  }
}

}  // namespace
}  // namespace oxalis::sim
