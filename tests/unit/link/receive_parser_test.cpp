#include "link/ReceiveParser.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "Feed.h"

namespace oxalis {
namespace {

using test::bytes;
using test::feed;
using test::measurementRecord;

class ReceiveParserTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override {
    port.open(1);
    core.hooks.decodeMeasurement = [this](std::span<const std::uint8_t> data, std::uint8_t) {
      measurements.emplace_back(data.begin(), data.end());
    };
    core.hooks.decodeConfigValue = [this](std::uint8_t offset, double value) { params.push_back({offset, value}); };
  }
  std::vector<std::vector<std::uint8_t>> measurements;
  std::vector<std::pair<int, double>> params;
};

TEST_F(ReceiveParserTest, FrameSplitAtEveryByteBoundaryDecodesTheSame) {
  core.state.linkUp = true;
  const std::string record = BuildRecord(0x13, 0x0001, bytes({0x13, 0x88, 0x03, 0xE8, 0x11, 0xC3}));
  // A record whose data contain the hex text of 0x11 and 0x13: only raw
  // control bytes act as pacing, hex text never does.
  for (std::size_t cut = 0; cut <= record.size(); ++cut) {
    measurements.clear();
    feed(core, "garbage" + record.substr(0, cut));
    feed(core, record.substr(cut));
    ASSERT_EQ(measurements.size(), 1u) << cut;
    EXPECT_EQ(measurements[0], (std::vector<std::uint8_t>{0x13, 0x88, 0x03, 0xE8, 0x11, 0xC3}));
    EXPECT_TRUE(core.state.rxIdle);
  }
}

TEST_F(ReceiveParserTest, ColonInsideFrameRestartsAssembly) {
  core.state.linkUp = true;
  const std::string record = measurementRecord(0, 1);
  feed(core, record.substr(0, 9) + record);
  EXPECT_EQ(measurements.size(), 1u);
  EXPECT_EQ(core.state.rx.previousRxLine, record.substr(0, 9));
}

TEST_F(ReceiveParserTest, ZeroLengthFrameCompletesAfterElevenCharacters) {
  feed(core, ":0000001FE");
  EXPECT_FALSE(core.state.rxIdle);
  feed(core, "1");
  EXPECT_TRUE(core.state.rxIdle);
  EXPECT_FALSE(core.state.rx.rxFrameBad);
}

TEST_F(ReceiveParserTest, FrameLongerThanLengthIsCutAndSurplusIgnored) {
  core.state.linkUp = true;
  feed(core, measurementRecord(0, 1, 2) + "0102FFEE" + measurementRecord(0, 2, 2));
  EXPECT_EQ(measurements.size(), 2u);
}

TEST_F(ReceiveParserTest, LengthAbove122NeverCompletesAndNextRecordStillParses) {
  core.state.linkUp = true;
  std::string huge = ":7B000113" + std::string(2 * 0x7B + 2, '0');
  feed(core, huge);
  EXPECT_FALSE(core.state.rxIdle);
  EXPECT_EQ(core.state.rx.rxCharCount, 255);
  EXPECT_TRUE(measurements.empty());
  feed(core, measurementRecord(0, 1));
  EXPECT_EQ(measurements.size(), 1u);
}

TEST_F(ReceiveParserTest, BadChecksumIsLoggedDroppedAndParserIdle) {
  core.factory.visible = true;
  core.state.linkUp = true;
  feed(core, ":0000011300");
  EXPECT_TRUE(core.state.rx.rxFrameBad);
  EXPECT_TRUE(core.state.rxIdle);
  EXPECT_TRUE(measurements.empty());
  EXPECT_NE(core.factory.W_Log.find("Chaine reçue : :0000011300\r\nChksum error 00<>EC\r\n"), std::string::npos);
}

TEST_F(ReceiveParserTest, NonHexCharacterKeepsThePreviousNibble) {
  // "G" leaves the low nibble at 0 from the "0" before it, so LL decodes as 00.
  feed(core, ":0G000012EE");
  EXPECT_TRUE(core.state.rxIdle);
  EXPECT_FALSE(core.state.rx.rxFrameBad);
  // Lower case is not hex: "ee" keeps the nibbles of the "12" before it.
  feed(core, ":00000012ee");
  EXPECT_TRUE(core.state.rx.rxFrameBad);
}

TEST_F(ReceiveParserTest, XonMidFrameIsActedOnLoggedAndAssemblyGoesOn) {
  core.factory.visible = true;
  core.state.linkUp = true;
  core.queue.QueueRecord(":00000015EB");
  const std::string record = measurementRecord(0, 1);
  feed(core, record.substr(0, 7) + "\x11" + record.substr(7));
  EXPECT_EQ(port.take(), ":00000015EB");
  EXPECT_EQ(measurements.size(), 1u);
  EXPECT_NE(core.factory.W_Log.find("Xon pendant trame : " + record.substr(0, 7) + "\r\nTxON reçu\r\n"),
            std::string::npos);
}

TEST_F(ReceiveParserTest, SingleCharacterMessagesLogAndTickFactoryBoxes) {
  core.factory.visible = true;
  feed(core, bytes({0xC6}));
  EXPECT_TRUE(core.factory.Blank);
  feed(core, bytes({0xCC}));
  feed(core, bytes({0xF0}));
  feed(core, bytes({0xFA}));
  EXPECT_TRUE(core.factory.Verify);
  EXPECT_TRUE(core.state.rx.updateOk);
  EXPECT_NE(core.factory.W_Log.find("Blank error\r\nVerify error\r\nFirmware checksum error\r\nUdate successful : 250\r\n"),
            std::string::npos);
  feed(core, bytes({0x13}));
  EXPECT_FALSE(core.state.tx.moduleReady);
}

TEST_F(ReceiveParserTest, MeasurementBeforeLinkUpIsCheckedButNotDecoded) {
  core.factory.visible = true;
  feed(core, measurementRecord(1, 1));
  EXPECT_TRUE(measurements.empty());
  EXPECT_FALSE(core.state.rx.rxFrameBad);
  EXPECT_FALSE(core.state.freshSample);
  EXPECT_NE(core.factory.W_Log.find("Chaine reçue"), std::string::npos);
  EXPECT_EQ(timers.interval(TimerId::Search), 500);  // the search waits for the rest
}

TEST_F(ReceiveParserTest, BytesWhileLinkedMarkDataFlowing) {
  core.state.linkUp = true;
  core.state.silentTicks = 3;
  feed(core, "x");
  EXPECT_TRUE(core.state.dataFlowing);
  EXPECT_EQ(core.state.silentTicks, 0);
  EXPECT_EQ(core.mainWindow.panel(2), "Link ON");
}

TEST_F(ReceiveParserTest, StoppedStreamIsStoppedAgainOnEveryMeasurement) {
  core.state.linkUp = true;
  core.state.streamRunning = false;
  core.state.tx.moduleReady = true;
  feed(core, measurementRecord(0, 1));
  EXPECT_EQ(port.take(), ":00000013ED");
  EXPECT_TRUE(core.state.freshSample);
}

class LostFrameTest : public ReceiveParserTest, public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(LostFrameTest, Sequences7_8_10ReportOneLossOnlyForOx2AndPnu) {
  const auto [code, reports] = GetParam();
  core.state.deviceCode = code;
  core.state.linkUp = true;
  core.factory.visible = true;
  feed(core, measurementRecord(7, 1) + measurementRecord(8, 2) + measurementRecord(10, 4));
  const std::string& log = core.factory.W_Log;
  const auto first = log.find("Trame perdu :");
  EXPECT_EQ(first != std::string::npos, reports);
  EXPECT_EQ(core.factory.PerteDeTrame, reports);
  if (reports) {
    EXPECT_EQ(log.find("Trame perdu :", first + 1), std::string::npos);
    EXPECT_NE(log.find(measurementRecord(8, 2) + "\r\nTrame perdu :10-8-" + measurementRecord(10, 4) + "\r\n"),
              std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(ModuleTypes, LostFrameTest,
                         ::testing::Values(std::pair{"OX2", true}, std::pair{"PNU", true}, std::pair{"OXL", false},
                                           std::pair{"QTX", false}));

TEST_F(ReceiveParserTest, SequenceWrapsOnlyThroughZero) {
  core.state.linkUp = true;
  core.factory.visible = true;
  feed(core, measurementRecord(254, 1) + measurementRecord(255, 2) + measurementRecord(0, 4) +
                 measurementRecord(1, 8));
  EXPECT_FALSE(core.factory.PerteDeTrame);
  for (int sequence = 2; sequence <= 255; ++sequence) feed(core, measurementRecord(sequence, 1));
  EXPECT_FALSE(core.factory.PerteDeTrame);
  feed(core, measurementRecord(1, 2));  // 1 right after 255: the comparison does not wrap
  EXPECT_TRUE(core.factory.PerteDeTrame);
}

TEST_F(ReceiveParserTest, ParameterReplyFoldsBytesMostSignificantFirst) {
  feed(core, BuildRecord(0x10, 0x022C, bytes({0x05, 0xB1})));
  ASSERT_EQ(params.size(), 1u);
  EXPECT_EQ(params[0].first, 0x2C);
  EXPECT_EQ(params[0].second, 1457);
  EXPECT_DOUBLE_EQ(core.state.stoichRatio, 14.57);
  EXPECT_EQ(core.livePanel.cells[4].label, "A/F (St:14.57 )");
  feed(core, BuildRecord(0x10, 0x0444, bytes({0x00, 0x05, 0x7E, 0x40})));
  EXPECT_EQ(params[1].second, 360000);
}

TEST_F(ReceiveParserTest, TimeReplyShowsRunningTimeInPanel5) {
  // 372 550 hundredths: 3725.5 s, rounded to 3726 s.
  feed(core, BuildRecord(0x15, 0, bytes({0x00, 0x05, 0xAF, 0x46})));
  EXPECT_EQ(core.mainWindow.panel(5), "1h  2mn  6s");
}

TEST_F(ReceiveParserTest, MemoryRepliesFillVisibleIdentityWindows) {
  feed(core, BuildRecord(0x11, 0x0050, bytes({23})));
  EXPECT_EQ(core.firmwareWindow.statusPanel1, "");  // window not shown: nothing

  core.firmwareWindow.visible = true;
  feed(core, BuildRecord(0x11, 0x0050, bytes({255})));
  EXPECT_EQ(core.firmwareWindow.statusPanel1, "BootLoader Version :  1.0");
  EXPECT_EQ(core.firmwareWindow.bootloaderVersion, 10);
  feed(core, BuildRecord(0x11, 0x0050, bytes({23})));
  EXPECT_EQ(core.firmwareWindow.statusPanel1, "BootLoader Version :  2.3");

  core.accessCode.visible = true;
  core.accessCode.requestedLevel = 2;
  feed(core, BuildRecord(0x11, 0x1000 + 1234, bytes({0x04, 0xD2})));
  EXPECT_EQ(core.accessCode.userCodeBase, 1234);
  EXPECT_EQ(core.accessCode.caption, "User Code ID: 21234");

  std::vector<std::uint16_t> tables;
  core.hooks.decodeTableBlock = [&](std::uint16_t address, std::span<const std::uint8_t> b) {
    tables.push_back(address);
    EXPECT_EQ(b.size(), 32u);
  };
  feed(core, BuildRecord(0x11, 0x0E20, std::string(32, '\x7F')));
  EXPECT_EQ(tables, std::vector<std::uint16_t>{0x0E20});
}

}  // namespace
}  // namespace oxalis
