// The simulated module's answers to the tool's requests, read byte by byte.
#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/ModuleMemory.h"
#include "sim/ModuleSimulator.h"

namespace oxalis::sim {
namespace {

using namespace test;

// Sends one request and returns what the module answered.
std::string Ask(ModuleSimulator& sim, std::string_view request) {
  sim.receive(request);
  return sim.takeOutput();
}

// The single record of a reply that must be that record followed by XON.
Sent ReplyRecord(const std::string& out) {
  const auto items = SplitOutput(out);
  EXPECT_EQ(items.size(), 2u) << out;
  if (items.size() != 2) return {};
  EXPECT_TRUE(items[0].record);
  EXPECT_TRUE(items[0].checksumOk) << items[0].text;
  EXPECT_FALSE(items[1].record);
  EXPECT_EQ(items[1].single, kXon);
  return items[0];
}

struct IdentityCase {
  const char* device;
  std::vector<std::uint8_t> versionBytes;  // data bytes after the code, at rxFrame[8] on
};

class Identification : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(Identification, ReportsCodeSerialAndVersionsWhereTheToolReadsThem) {
  const auto& c = GetParam();
  ModuleSimulator sim({.device = c.device, .serial = 40961});
  const Sent r = ReplyRecord(Ask(sim, kIdentify + "\x11"));
  EXPECT_EQ(r.type, 0x12);
  EXPECT_EQ(r.address, 40961);
  ASSERT_EQ(r.data.size(), 3 + c.versionBytes.size());
  EXPECT_EQ(std::string(r.data.begin(), r.data.begin() + 3), c.device);
  EXPECT_EQ(std::vector<std::uint8_t>(r.data.begin() + 3, r.data.end()), c.versionBytes);
}

INSTANTIATE_TEST_SUITE_P(EveryType, Identification,
                         ::testing::Values(IdentityCase{"OX2", {2, 1, 3, 4}},  // HW [8].[9], FW [10].[11]
                                           IdentityCase{"PNU", {1, 2, 2, 3}}, IdentityCase{"RMW", {1, 0, 1, 5}},
                                           IdentityCase{"OXL", {12, 18}},        // HW [8], FW [9], in tenths
                                           IdentityCase{"QTX", {1, 1, 0, 1, 2}}  // HW [9].[10], FW [11].[12]
                                           ),
                         [](const auto& info) { return std::string(info.param.device); });

TEST(Identification, TakesVersionsFromOptionsAndIdentityWrittenByTheFactory) {
  ModuleSimulator sim({.device = "OX2", .serial = 7, .version = ModuleVersion{4, 5, 6, 7}});
  EXPECT_EQ(ReplyRecord(Ask(sim, kIdentify)).data, (std::vector<std::uint8_t>{'O', 'X', '2', 4, 5, 6, 7}));
  // "Send HW SW S/N": serial 0x0102, HW 3.0, SW 9.2, then identification.
  sim.receive(kEepromArea + Request(0x00, 0x04, Bytes({0x01, 0x02, 3, 0, 9, 2})));
  sim.takeOutput();
  const Sent r = ReplyRecord(Ask(sim, kIdentify));
  EXPECT_EQ(r.address, 0x0102);
  EXPECT_EQ(r.data, (std::vector<std::uint8_t>{'O', 'X', '2', 3, 0, 9, 2}));
}

TEST(Identification, UnknownCodeIsReportedAsGiven) {
  ModuleSimulator sim({.device = "ABC"});
  const Sent r = ReplyRecord(Ask(sim, kIdentify));
  EXPECT_EQ(std::string(r.data.begin(), r.data.begin() + 3), "ABC");
}

TEST(RecordPacing, EveryProcessedRecordIsFollowedByOneXon) {
  ModuleSimulator sim;
  for (const std::string& request :
       {kEepromArea, Request(0x00, 0x30, Bytes({0x09, 0xC4})), Reload(3), kStopFrames, Request(0x42, 0x0000)}) {
    EXPECT_EQ(Ask(sim, request), "\x11") << request;
  }
  // A reply goes out before the XON.
  const auto items = SplitOutput(Ask(sim, kTimeRequest));
  ASSERT_EQ(items.size(), 2u);
  EXPECT_TRUE(items[0].record);
  EXPECT_EQ(items[1].single, kXon);
}

TEST(RecordPacing, FlowControlFromTheToolNeedsNoAnswerAndDoesNotBreakARecord) {
  ModuleSimulator sim;
  EXPECT_EQ(Ask(sim, "\x11\x11\x13"), "");
  // The tool's keep-alive XON in the middle of a record.
  const std::string request = ReadParams(0x2C, 2);
  const Sent r = ReplyRecord(Ask(sim, request.substr(0, 5) + "\x11" + request.substr(5)));
  EXPECT_EQ(r.data, (std::vector<std::uint8_t>{0x05, 0xB1}));
}

TEST(RecordPacing, CharactersBetweenRecordsAreIgnoredAndColonRestarts) {
  ModuleSimulator sim;
  EXPECT_EQ(Ask(sim, "garbage"), "");
  // An abandoned partial record, then a whole one.
  EXPECT_EQ(ReplyRecord(Ask(sim, ":0002" + ReadParams(0x0A, 1))).data, std::vector<std::uint8_t>{3});
}

TEST(ChecksumErrors, BadChecksumIsAnsweredWithC3AndXonAndNotActedUpon) {
  ModuleSimulator sim;
  const auto before = sim.configuration();
  // An EEPROM write of 0x2C..0x2D whose checksum is one off.
  std::string write = Request(0x00, 0x2C, Bytes({0x12, 0x34}));
  write.back() = write.back() == '0' ? '1' : '0';
  EXPECT_EQ(Ask(sim, kEepromArea), "\x11");
  EXPECT_EQ(Ask(sim, write), "\xC3\x11");
  EXPECT_EQ(sim.configuration(), before);
  // A corrupted start-frames request does not start the stream.
  EXPECT_EQ(Ask(sim, ":00000113ED"), "\xC3\x11");
  EXPECT_FALSE(sim.streaming());
}

TEST(ChecksumErrors, NonHexCharacterInsideARecordRejectsIt) {
  ModuleSimulator sim;
  EXPECT_EQ(Ask(sim, ":00000112EE"), "\xC3\x11");  // wrong checksum for type 0x12 at address 1
  EXPECT_EQ(Ask(sim, ":00000012ee"), "\xC3\x11");  // lower case is not hex here
  EXPECT_EQ(Ask(sim, ":0000\r"), "\xC3\x11");
}

TEST(ReadParams, ReturnsConfigurationBytesAtTheStartOffset) {
  ModuleSimulator sim;
  Sent r = ReplyRecord(Ask(sim, ReadParams(0x2C, 2)));
  EXPECT_EQ(r.type, 0x10);
  EXPECT_EQ(r.addressLow(), 0x2C);
  EXPECT_EQ(r.data, (std::vector<std::uint8_t>{0x05, 0xB1}));  // 14.57

  r = ReplyRecord(Ask(sim, ":00010A10E5"));  // the identification follow-up read of the user level
  EXPECT_EQ(r.addressLow(), 0x0A);
  EXPECT_EQ(r.data, std::vector<std::uint8_t>{3});

  r = ReplyRecord(Ask(sim, ReadParams(0x10, 3)));
  EXPECT_EQ(r.data, (std::vector<std::uint8_t>{0x01, 0xB5, 0x05}));  // 500 kbit/s

  r = ReplyRecord(Ask(sim, ReadParams(0xFE, 4)));  // wraps at the end of the block
  EXPECT_EQ(r.data.size(), 4u);
  EXPECT_EQ(r.data[2], sim.configuration()[0]);
}

TEST(ReadParams, DefaultsDifferByModuleType) {
  ModuleSimulator ox2({.device = "OX2"}), oxl({.device = "OXL"}), pnu({.device = "PNU"});
  EXPECT_EQ(ReplyRecord(Ask(ox2, ReadParams(0x30, 2))).word(0), 2500u);  // Vout on invalid measurement
  EXPECT_EQ(ReplyRecord(Ask(ox2, ReadParams(0x32, 2))).word(0), 100u);
  EXPECT_EQ(ReplyRecord(Ask(ox2, ReadParams(0x3A, 2))).word(0), 1000u);  // Rich_NOT 1.000
  EXPECT_EQ(ReplyRecord(Ask(ox2, ReadParams(0x3C, 2))).word(0), 0u);
  // An 11-bit identifier 0x100 of channel 1: as it is, on OXL in the upper half.
  EXPECT_EQ(ReplyRecord(Ask(ox2, ReadParams(0x60, 4))).data, (std::vector<std::uint8_t>{0, 0, 1, 0}));
  EXPECT_EQ(ReplyRecord(Ask(oxl, ReadParams(0x60, 4))).data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
  // The display keeps its settings and channel records, no output voltages.
  EXPECT_EQ(ReplyRecord(Ask(pnu, ReadParams(0x0B, 3))).data, (std::vector<std::uint8_t>{1, 0, 0}));
  EXPECT_EQ(ReplyRecord(Ask(pnu, ReadParams(0x30, 2))).word(0), 0xFFFFu);
  EXPECT_EQ(ReplyRecord(Ask(pnu, ReadParams(0x9D, 1))).data, std::vector<std::uint8_t>{0});  // Map of channel 1
}

TEST(ReadMemory, ReturnsBootloaderUserCodeAndTables) {
  ModuleSimulator sim({.serial = 1234, .bootloaderVersion = 23, .userCode = 0xABCD});
  Sent r = ReplyRecord(Ask(sim, ":01005011019D"));
  EXPECT_EQ(r.type, 0x11);
  EXPECT_EQ(r.address, 0x0050);
  EXPECT_EQ(r.data, std::vector<std::uint8_t>{23});

  r = ReplyRecord(Ask(sim, ReadMemory(0x1000 + 1234, 2)));
  EXPECT_EQ(r.address, 0x1000 + 1234);
  EXPECT_EQ(r.data, (std::vector<std::uint8_t>{0xAB, 0xCD}));

  // In of points 17-32 and Out of points 1-16 of the factory table, low byte first.
  r = ReplyRecord(Ask(sim, ReadMemory(0x0E20, 32)));
  ASSERT_EQ(r.data.size(), 32u);
  EXPECT_EQ(r.data[0] | r.data[1] << 8, 800);
  EXPECT_EQ(r.data[30] | r.data[31] << 8, 1755);
  r = ReplyRecord(Ask(sim, ReadMemory(0x0E40, 32)));
  EXPECT_EQ(r.data[0] | r.data[1] << 8, 4702);
}

TEST(ReadMemory, ErasedBootloaderReads255AndDisplayHasFiveTables) {
  ModuleSimulator sim({.device = "PNU", .bootloaderVersion = 255});
  EXPECT_EQ(ReplyRecord(Ask(sim, ReadMemory(0x0050, 1))).data, std::vector<std::uint8_t>{255});
  // Channel 5: In at 0x0F00 from 1, Out at 0x0F20 from 800.
  const Sent in = ReplyRecord(Ask(sim, ReadMemory(0x0F00, 32)));
  const Sent out = ReplyRecord(Ask(sim, ReadMemory(0x0F20, 32)));
  EXPECT_EQ(in.data[0] | in.data[1] << 8, 1);
  EXPECT_EQ(in.data[30] | in.data[31] << 8, 750);
  EXPECT_EQ(out.data[0] | out.data[1] << 8, 800);
  EXPECT_EQ(out.data[30] | out.data[31] << 8, 1755);
}

TEST(Writes, EepromWriteAfterTheAreaRecordReadsBack) {
  ModuleSimulator sim;
  sim.receive(kEepromArea);
  sim.receive(":0200300009C401");                         // Vout_NOT 2500, as the setup window writes it
  sim.receive(Request(0x00, 0x2C, Bytes({0x05, 0xDC})));  // ratio 15.00
  sim.takeOutput();
  EXPECT_EQ(ReplyRecord(Ask(sim, ReadParams(0x2C, 2))).word(0), 1500u);
  EXPECT_EQ(ReplyRecord(Ask(sim, ReadParams(0x30, 2))).word(0), 2500u);
}

TEST(Writes, ProgramMemoryWriteAfterTheAreaRecordReadsBackAndLeavesEepromAlone) {
  ModuleSimulator sim;
  const auto configuration = sim.configuration();
  std::string block;
  for (int k = 0; k < 32; ++k) block.push_back(static_cast<char>(k * 7));
  sim.receive(kProgramArea + Request(0x00, 0x0E60, block));
  EXPECT_EQ(sim.selectedArea(), MemoryArea::Program);
  sim.takeOutput();
  const Sent r = ReplyRecord(Ask(sim, ReadMemory(0x0E60, 32)));
  EXPECT_EQ(std::string(r.data.begin(), r.data.end()), block);
  auto expected = configuration;
  std::copy_n(sim.configuration().begin() + cfg::kTimeCounter, 4, expected.begin() + cfg::kTimeCounter);
  EXPECT_EQ(sim.configuration(), expected);
  // Back to the EEPROM for the next parameter write.
  sim.receive(kEepromArea + Request(0x00, 0x0A, Bytes({2})));
  sim.takeOutput();
  EXPECT_EQ(ReplyRecord(Ask(sim, ReadParams(0x0A, 1))).data, std::vector<std::uint8_t>{2});
}

TEST(Writes, UnknownAreaTakesNoWrites) {
  ModuleSimulator sim;
  const auto configuration = sim.configuration();
  const auto program = sim.programMemory();
  EXPECT_EQ(Ask(sim, ":020000040030CA"), "\x11");
  EXPECT_EQ(Ask(sim, Request(0x00, 0x0010, Bytes({1, 2, 3}))), "\x11");
  EXPECT_EQ(sim.configuration(), configuration);
  EXPECT_EQ(sim.programMemory(), program);
}

TEST(Writes, MemoriesPersistForTheLifeOfTheModule) {
  ModuleSimulator sim;
  sim.receive(kEepromArea + Request(0x00, 0x7A, Bytes({45})));
  sim.receive(kStartFrames);
  sim.advance(std::chrono::seconds(3));
  sim.receive(kStopFrames);
  sim.takeOutput();
  EXPECT_EQ(ReplyRecord(Ask(sim, ReadParams(0x7A, 1))).data, std::vector<std::uint8_t>{45});
}

std::uint32_t TimeOf(const Sent& r) {
  EXPECT_EQ(r.data.size(), 4u);
  return static_cast<std::uint32_t>(r.data.at(0)) << 24 | r.data.at(1) << 16 | r.data.at(2) << 8 | r.data.at(3);
}

TEST(RunningTime, CountsHundredthsWhilePowered) {
  ModuleSimulator sim({.usedTime = 360000});
  Sent r = ReplyRecord(Ask(sim, kTimeRequest));
  EXPECT_EQ(r.type, 0x15);
  EXPECT_EQ(TimeOf(r), 360000u);
  sim.advance(std::chrono::milliseconds(2500));
  EXPECT_EQ(TimeOf(ReplyRecord(Ask(sim, kTimeRequest))), 360250u);
  sim.advance(std::chrono::milliseconds(5));
  sim.advance(std::chrono::milliseconds(5));  // partial hundredths add up
  EXPECT_EQ(TimeOf(ReplyRecord(Ask(sim, kTimeRequest))), 360251u);
  // The factory window reads the counter at 0x44.
  EXPECT_EQ(TimeOf(ReplyRecord(Ask(sim, ReadParams(0x44, 4)))), 360251u);
}

TEST(RunningTime, TimeWrittenAtEitherSlotIsTakenOverByReloadGroup4) {
  ModuleSimulator sim({.usedTime = 0});
  // Setup window: 0001:00:00 at 0x40, then reload 4.
  sim.receive(kEepromArea + Request(0x00, 0x40, Bytes({0x00, 0x05, 0x7E, 0x40})));
  sim.advance(std::chrono::seconds(1));
  sim.takeOutput();
  EXPECT_EQ(TimeOf(ReplyRecord(Ask(sim, kTimeRequest))), 100u);  // not before the reload
  sim.receive(Reload(4));
  sim.advance(std::chrono::seconds(1));
  sim.takeOutput();
  EXPECT_EQ(TimeOf(ReplyRecord(Ask(sim, kTimeRequest))), 360100u);

  // Factory window: 0x44, reload 4, read back.
  sim.receive(kEepromArea + Request(0x00, 0x44, Bytes({0x00, 0x00, 0x10, 0x00})) + Reload(4));
  sim.takeOutput();
  EXPECT_EQ(TimeOf(ReplyRecord(Ask(sim, ReadParams(0x44, 4)))), 0x1000u);

  // A reload of another group leaves the counter alone; so does a second
  // group 4 reload without a new time.
  sim.advance(std::chrono::seconds(1));
  sim.receive(Reload(3) + Reload(4));
  sim.takeOutput();
  EXPECT_EQ(TimeOf(ReplyRecord(Ask(sim, kTimeRequest))), 0x1000u + 100u);
}

}  // namespace
}  // namespace oxalis::sim
