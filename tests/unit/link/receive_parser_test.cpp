#include "link/ReceiveParser.h"
#include "link/ModuleTypes.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "Feed.h"
#include "LinkFixture.h"

namespace oxalis {
namespace {

using test::bytes;
using test::feed;
using test::measurementRecord;

class ReceiveParserTest : public ::testing::Test, public test::LinkFixture {
 protected:
  void SetUp() override { port.open(1); }
  std::vector<std::vector<std::uint8_t>>& measurements = events.measurements;
};

TEST_F(ReceiveParserTest, FrameSplitAtEveryByteBoundaryDecodesTheSame) {
  link.state.linkUp = true;
  const std::string data = bytes({0x13, 0x88, 0x03, 0xE8, 0x11, 0xC3}) + std::string(12, '\0');
  const std::string record = BuildRecord(0x13, 0x0001, data);
  // A record whose data contain the hex text of 0x11 and 0x13: only raw
  // control bytes act as pacing, hex text never does.
  for (std::size_t cut = 0; cut <= record.size(); ++cut) {
    measurements.clear();
    feed(link, "garbage" + record.substr(0, cut));
    feed(link, record.substr(cut));
    ASSERT_EQ(measurements.size(), 1u) << cut;
    EXPECT_EQ(measurements[0], std::vector<std::uint8_t>(data.begin(), data.end()));
    EXPECT_TRUE(link.state.rxIdle);
  }
}

TEST_F(ReceiveParserTest, ColonInsideFrameRestartsAssembly) {
  link.state.linkUp = true;
  const std::string record = measurementRecord(0, 1);
  feed(link, record.substr(0, 9) + record);
  EXPECT_EQ(measurements.size(), 1u);
  EXPECT_EQ(link.state.rx.previousRxLine, record.substr(0, 9));
}

TEST_F(ReceiveParserTest, ZeroLengthFrameCompletesAfterElevenCharacters) {
  feed(link, ":0000001FE");
  EXPECT_FALSE(link.state.rxIdle);
  feed(link, "1");
  EXPECT_TRUE(link.state.rxIdle);
  EXPECT_FALSE(link.state.rx.rxFrameBad);
}

TEST_F(ReceiveParserTest, FrameLongerThanLengthIsCutAndSurplusIgnored) {
  link.state.linkUp = true;
  feed(link, measurementRecord(0, 1) + "0102FFEE" + measurementRecord(0, 2));
  EXPECT_EQ(measurements.size(), 2u);
}

TEST_F(ReceiveParserTest, BadChecksumIsLoggedDroppedAndParserIdle) {
  factory.visible = true;
  link.state.linkUp = true;
  feed(link, ":0000011300");
  EXPECT_TRUE(link.state.rx.rxFrameBad);
  EXPECT_TRUE(link.state.rxIdle);
  EXPECT_TRUE(measurements.empty());
  EXPECT_NE(factory.W_Log.find("Chaine reçue : :0000011300\r\nChksum error 00<>EC\r\n"), std::string::npos);
}

TEST_F(ReceiveParserTest, XonMidFrameIsActedOnLoggedAndAssemblyGoesOn) {
  factory.visible = true;
  link.state.linkUp = true;
  ASSERT_TRUE(link.queue.queueRecord(":00000015EB"));
  const std::string record = measurementRecord(0, 1);
  feed(link, record.substr(0, 7) + "\x11" + record.substr(7));
  EXPECT_EQ(port.take(), ":00000015EB");
  EXPECT_EQ(measurements.size(), 1u);
  EXPECT_NE(factory.W_Log.find("Xon pendant trame : " + record.substr(0, 7) + "\r\nTxON reçu\r\n"),
            std::string::npos);
}

TEST_F(ReceiveParserTest, SingleCharacterMessagesLogAndTickFactoryBoxes) {
  factory.visible = true;
  feed(link, bytes({0xC6}));
  EXPECT_TRUE(factory.blankError);
  feed(link, bytes({0xCC}));
  feed(link, bytes({0xF0}));
  feed(link, bytes({0xFA}));
  EXPECT_TRUE(factory.verifyError);
  EXPECT_TRUE(link.state.rx.updateOk);
  EXPECT_EQ(events.bootloaderReplies, (std::vector<std::uint8_t>{0xF0, 0xFA}));
  EXPECT_NE(factory.W_Log.find("Blank error\r\nVerify error\r\nFirmware checksum error\r\nUdate successful : 250\r\n"),
            std::string::npos);
  feed(link, bytes({0x13}));
  EXPECT_FALSE(link.state.tx.moduleReady);
}

TEST_F(ReceiveParserTest, MeasurementBeforeLinkUpIsCheckedButNotDecoded) {
  factory.visible = true;
  feed(link, measurementRecord(1, 1));
  EXPECT_TRUE(measurements.empty());
  EXPECT_FALSE(link.state.rx.rxFrameBad);
  EXPECT_FALSE(link.state.freshSample);
  EXPECT_NE(factory.W_Log.find("Chaine reçue"), std::string::npos);
  EXPECT_EQ(timers.interval(TimerId::Search), 500);  // the search waits for the rest
}

TEST_F(ReceiveParserTest, BytesWhileLinkedMarkDataFlowing) {
  link.state.linkUp = true;
  link.state.silentTicks = 3;
  feed(link, "x");
  EXPECT_TRUE(link.state.dataFlowing);
  EXPECT_EQ(link.state.silentTicks, 0);
  EXPECT_EQ(events.statuses, std::vector<LinkStatus>{LinkStatus::Up});
  feed(link, "y");  // reported once
  EXPECT_EQ(events.statuses.size(), 1u);
}

TEST_F(ReceiveParserTest, StoppedStreamIsStoppedAgainOnEveryMeasurement) {
  link.state.linkUp = true;
  link.state.streamRunning = false;
  link.state.tx.moduleReady = true;
  feed(link, measurementRecord(0, 1));
  EXPECT_EQ(port.take(), ":00000013ED");
  EXPECT_TRUE(link.state.freshSample);
}

class LostFrameTest : public ReceiveParserTest, public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(LostFrameTest, Sequences7_8_10ReportOneLossOnlyForOx2AndPnu) {
  const auto [code, reports] = GetParam();
  link.state.identity.deviceCode = code;
  link.state.linkUp = true;
  factory.visible = true;
  const std::size_t length = findModuleType(code)->measurementBytes;
  feed(link, measurementRecord(7, 1, length) + measurementRecord(8, 2, length) + measurementRecord(10, 4, length));
  EXPECT_EQ(measurements.size(), 3u);
  const std::string& log = factory.W_Log;
  const auto first = log.find("Trame perdu :");
  EXPECT_EQ(first != std::string::npos, reports);
  EXPECT_EQ(factory.frameLost, reports);
  if (reports) {
    EXPECT_EQ(log.find("Trame perdu :", first + 1), std::string::npos);
    EXPECT_NE(log.find(measurementRecord(8, 2, length) + "\r\nTrame perdu :10-8-" + measurementRecord(10, 4, length) +
                       "\r\n"),
              std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(ModuleTypes, LostFrameTest,
                         ::testing::Values(std::pair{"OX2", true}, std::pair{"PNU", true}, std::pair{"OXL", false},
                                           std::pair{"QTX", false}));

TEST_F(ReceiveParserTest, SequenceWrapsOnlyThroughZero) {
  link.state.linkUp = true;
  factory.visible = true;
  feed(link, measurementRecord(254, 1) + measurementRecord(255, 2) + measurementRecord(0, 4) +
                 measurementRecord(1, 8));
  EXPECT_FALSE(factory.frameLost);
  for (int sequence = 2; sequence <= 255; ++sequence) feed(link, measurementRecord(sequence, 1));
  EXPECT_FALSE(factory.frameLost);
  feed(link, measurementRecord(1, 2));  // 1 right after 255: the comparison does not wrap
  EXPECT_TRUE(factory.frameLost);
}

TEST_F(ReceiveParserTest, ParameterReplyFoldsBytesMostSignificantFirst) {
  feed(link, BuildRecord(0x10, 0x022C, bytes({0x05, 0xB1})));
  feed(link, BuildRecord(0x10, 0x0444, bytes({0x00, 0x05, 0x7E, 0x40})));
  EXPECT_EQ(events.params, (std::vector<std::pair<int, double>>{{0x2C, 1457}, {0x44, 360000}}));
}

TEST_F(ReceiveParserTest, MemoryAndTimeRepliesAreHandedOnWhole) {
  feed(link, BuildRecord(0x11, 0x0E20, std::string(32, '\x7F')));
  ASSERT_EQ(events.memoryBlocks.size(), 1u);
  EXPECT_EQ(events.memoryBlocks[0].first, 0x0E20);
  EXPECT_EQ(events.memoryBlocks[0].second, std::vector<std::uint8_t>(32, 0x7F));
  feed(link, BuildRecord(0x15, 0, bytes({0x00, 0x05, 0xAF, 0x46})));
  EXPECT_EQ(events.runningTimes, std::vector<double>{372550});
}

// What the tool makes of the replies.
class ReplyTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override { port.open(1); }
};

TEST_F(ReplyTest, StoichiometricRatioSetsTheAirFuelLabel) {
  feed(core, BuildRecord(0x10, 0x022C, bytes({0x05, 0xB1})));
  EXPECT_DOUBLE_EQ(core.monitor.stoichRatio, 14.57);
  EXPECT_EQ(core.monitor.livePanel.cells[4].label, "A/F (St:14.57)");
  // An erased module (0xFFFF) or anything above 50.00 stands for petrol.
  for (const std::uint8_t high : {0xFF, 0x13}) {
    core.monitor.stoichRatio = 6.4;
    feed(core, BuildRecord(0x10, 0x022C, bytes({high, 0x89})));  // 65417, 5001
    EXPECT_DOUBLE_EQ(core.monitor.stoichRatio, 14.57) << int(high);
  }
  feed(core, BuildRecord(0x10, 0x022C, bytes({0x13, 0x88})));  // 5000: 50.00 stays
  EXPECT_DOUBLE_EQ(core.monitor.stoichRatio, 50);
}

TEST_F(ReplyTest, BytesWhileLinkedShowLinkOn) {
  core.link.state.linkUp = true;
  feed(core, "x");
  EXPECT_EQ(core.mainWindow.panel(2), "Link ON");
}

TEST_F(ReplyTest, TimeReplyShowsRunningTimeInPanel5) {
  // 372 550 hundredths: 3725.5 s, rounded to 3726 s.
  feed(core, BuildRecord(0x15, 0, bytes({0x00, 0x05, 0xAF, 0x46})));
  EXPECT_EQ(core.mainWindow.panel(5), "1h  2mn  6s");
}

TEST_F(ReplyTest, MemoryRepliesFillVisibleIdentityWindows) {
  feed(core, BuildRecord(0x11, 0x0050, bytes({23})));
  EXPECT_EQ(core.firmware.window.statusPanel1, "");  // window not shown: nothing

  core.firmware.window.visible = true;
  feed(core, BuildRecord(0x11, 0x0050, bytes({255})));
  EXPECT_EQ(core.firmware.window.statusPanel1, "BootLoader Version :  1.0");
  EXPECT_EQ(core.firmware.window.bootloaderVersion, 10);
  feed(core, BuildRecord(0x11, 0x0050, bytes({23})));
  EXPECT_EQ(core.firmware.window.statusPanel1, "BootLoader Version :  2.3");

  core.accessCode.visible = true;
  core.accessCode.requestedLevel = 2;
  feed(core, BuildRecord(0x11, 0x1000 + 1234, bytes({0x04, 0xD2})));
  EXPECT_EQ(core.accessCode.userCodeBase, 1234);
  EXPECT_EQ(core.accessCode.caption, "User Code ID: 21234");

}

}  // namespace
}  // namespace oxalis
