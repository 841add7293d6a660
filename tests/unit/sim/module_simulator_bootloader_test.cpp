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
  for (std::size_t at = 0; at < file.size(); at = file.find("\r\n", at) + 2)
    lines.push_back(file.substr(at, file.find("\r\n", at) - at));
  return lines;
}

std::uint8_t LastByte(const std::string& line) { return HexToByte(line.substr(line.size() - 2)); }

// The single-character messages in `out` but XON.
std::string Messages(std::string_view out) {
  std::string messages;
  for (const Sent& s : SplitOutput(out))
    if (!s.record && s.single != kXon) messages.push_back(static_cast<char>(s.single));
  return messages;
}

enum class End { Checksum, WrongChecksum, None };

// The restart record, then every line of `file` as the tool sends it in
// firmware mode (the end record as `end` says), one per 10 ms tick after an
// XON. Returns the module's messages.
std::string Flash(ModuleSimulator& sim, const std::string& file, End end) {
  std::uint8_t sum = 0;
  std::vector<std::string> records = {kRestart};
  for (const std::string& line : LinesOf(file)) {
    if (line != ":00000001FF") sum = static_cast<std::uint8_t>(sum + LastByte(line));
    if (line != ":00000001FF") records.push_back(line);
    if (line == ":00000001FF" && end != End::None)
      records.push_back(Request(0x01, static_cast<std::uint8_t>(sum + (end == End::WrongChecksum))));
  }
  std::string messages;
  for (const std::string& record : records) {
    sim.receive(record + "\r\n");
    sim.advance(milliseconds(10));
    const std::string out = sim.takeOutput();
    messages += Messages(out);
    if (out.find('\x11') == std::string::npos) ADD_FAILURE() << "no XON after " << record;
  }
  sim.advance(milliseconds(600));
  return messages + Messages(sim.takeOutput());
}

std::vector<std::uint8_t> Identification(ModuleSimulator& sim) {
  sim.receive(kIdentify);
  const auto records = RecordsOf(sim.takeOutput(), 0x12);
  return records.empty() ? std::vector<std::uint8_t>{} : records[0].data;
}

TEST(Bootloader, EndsAnUpdateByItsVersionsRuleAndRunsTheNewFirmware) {
  const struct {
    std::string device;
    std::uint8_t bootloaderVersion;
    End end;
    std::uint8_t reply;
    std::vector<std::uint8_t> version;  // the last identification bytes after success
  } cases[] = {
      {"OX2", 13, End::Checksum, kUpdateSuccessful, {2, 7}},
      {"OX2", 13, End::WrongChecksum, kFirmwareChecksumError, {}},
      {"PNU", 12, End::None, kUpdateSuccessful, {2, 7}},
      {"RMW", 12, End::WrongChecksum, kUpdateSuccessful, {2, 7}},  // unchecked
      {"OX2", 255, End::None, kUpdateSuccessful, {2, 7}},          // erased: 1.0
      {"OXL", 23, End::Checksum, kUpdateSuccessful, {27}},
  };
  const std::string file =
      MakeFirmwareImage({.firmwareBytes = 4096, .firmwareMajor = 2, .firmwareMinor = 7, .bootloaderVersion = 40});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.device + " " + std::to_string(c.bootloaderVersion));
    ModuleSimulator sim({.device = c.device, .bootloaderVersion = c.bootloaderVersion});
    std::vector<std::uint8_t> identity = Identification(sim);
    sim.receive(kStartFrames);
    EXPECT_EQ(Flash(sim, file, c.end), Bytes({c.reply}));
    EXPECT_EQ(sim.inBootloader(), c.version.empty());
    // The bootloader neither identifies nor overwrites itself.
    std::copy(c.version.begin(), c.version.end(), identity.end() - c.version.size());
    EXPECT_EQ(Identification(sim), c.version.empty() ? std::vector<std::uint8_t>{} : identity);
    EXPECT_EQ(sim.programMemory()[prog::kBootloaderVersion], c.bootloaderVersion);
    sim.advance(milliseconds(100));
    EXPECT_EQ(RecordsOf(sim.takeOutput(), 0x13).size(), c.version.empty() ? 0u : 5u) << "streams again";
  }
}

TEST(Bootloader, RejectsDamagedRecordsAndCountsAResendOnce) {
  ModuleSimulator sim;
  const std::string good = Request(0x00, 0x0800, Bytes({3, 1, 0xAA}));
  std::string badChecksum = good, badDigit = good;
  badChecksum.back() ^= 1;
  badDigit[10] = 'g';
  const std::uint8_t sum = static_cast<std::uint8_t>(LastByte(kProgramArea) + LastByte(good));
  const std::pair<std::string, std::string> steps[] = {
      {kRestart, "\x11"},
      {kProgramArea, "\x11"},
      {badChecksum, "\xC3\x11"},
      {badDigit, "\xC3\x11"},
      {good, "\x11"},
      {good, "\x11"},  // sent again after a lost XON: counts once
      {Request(0x01, sum), "\xFA\x11"},
  };
  for (const auto& [record, answer] : steps) {
    sim.receive(record);
    EXPECT_EQ(sim.takeOutput(), answer) << record;
  }
  EXPECT_EQ(Identification(sim).at(6), 1) << "firmware 3.1";
}

TEST(Bootloader, RunningFirmwareWritesANewBootloaderBelowTheFirmware) {
  ModuleSimulator sim({.bootloaderVersion = 11});
  const std::vector<std::uint8_t> identity = Identification(sim);
  sim.receive(kProgramArea);
  std::size_t sent = 1;
  for (const std::string& line : LinesOf(MakeFirmwareImage({.firmwareBytes = 1024, .bootloaderVersion = 14}))) {
    if (line.starts_with(":10080000")) break;
    sim.receive(line + "\r\n");
    ++sent;
  }
  EXPECT_EQ(sim.takeOutput(), std::string(sent, '\x11'));
  sim.receive(ReadMemory(0x0050, 1));
  const auto replies = RecordsOf(sim.takeOutput(), 0x11);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].data, std::vector<std::uint8_t>{14});
  EXPECT_EQ(Identification(sim), identity);
}

TEST(Bootloader, StallFaultHangsTheUpdateAfterItsRecordCount) {
  for (const std::uint8_t version : {12, 13}) {
    SimOptions options{.bootloaderVersion = version};
    options.faults.stallUpdateAfter = 5;
    ModuleSimulator sim(options);
    sim.receive(kRestart + MakeFirmwareImage({.firmwareBytes = 1024}) + kIdentify);
    sim.advance(milliseconds(1000));
    EXPECT_EQ(sim.takeOutput(), std::string(1 + 5, '\x11')) << "the restart record, then five in the bootloader";
  }
}

TEST(FirmwareImage, EveryLineIsARecordAndTheBytesLieWhereAsked) {
  const FirmwareImageOptions cases[] = {
      {.firmwareBytes = 1024, .firmwareMajor = 3, .firmwareMinor = 9, .bootloaderVersion = 13},
      {.firmwareBytes = kMaxFirmwareBytes},
  };
  for (const FirmwareImageOptions& o : cases) {
    const std::string file = MakeFirmwareImage(o);
    EXPECT_TRUE(file.starts_with(":020000040000FA\r\n") && file.ends_with("\r\n:00000001FF\r\n"));
    std::vector<int> memory(kProgramMemorySize, -1);  // -1 unwritten, 256 written twice
    std::string marks;                                // the lines the tool looks for
    for (const std::string& line : LinesOf(file)) {
      const auto records = SplitOutput(line);
      ASSERT_TRUE(records.size() == 1 && records[0].checksumOk && records[0].data.size() <= 16) << line;
      if (line.starts_with(":02005000") || line.starts_with(":10080000")) marks += line.substr(0, 9);
      for (std::size_t i = 0; records[0].type == 0x00 && i < records[0].data.size(); ++i) {
        int& cell = memory.at(records[0].address + i);
        cell = cell < 0 ? records[0].data[i] : 256;
      }
    }
    EXPECT_EQ(marks, o.bootloaderVersion ? ":02005000:10080000" : ":10080000");
    const std::size_t begin = o.bootloaderVersion ? 0 : 0x0800, end = 0x0800 + o.firmwareBytes;
    for (std::size_t a = 0; a < kProgramMemorySize; ++a)
      ASSERT_EQ(memory[a] >= 0 && memory[a] < 256, a >= begin && a < end) << a;
    EXPECT_EQ(memory[0x0800] << 8 | memory[0x0801], o.firmwareMajor << 8 | o.firmwareMinor);
    EXPECT_EQ(memory[0x0050], o.bootloaderVersion ? *o.bootloaderVersion : -1);
  }
}

}  // namespace
}  // namespace oxalis::sim
