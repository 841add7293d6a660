// The refresh tick: link supervision, keep-alive, cell texts and freshness
// colours, lamps and factory mirrors.
#include "monitor/RefreshTick.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "config/ChannelLine.h"
#include "monitor/LivePanel.h"

namespace oxalis {
namespace {

class RefreshTickTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override {
    LoadDefaultChannels(core.channels);
    port.open(4);
    core.link.state.linkUp = true;
  }
  void tick(int n = 1) {
    for (int i = 0; i < n; ++i) core.onTimer(TimerId::Refresh);
  }
  const LiveCellModel& cell(int i) const { return core.monitor.livePanel.cells[static_cast<std::size_t>(i)]; }
  // A receive event as the parser records it.
  void byteArrives(bool measurement) {
    core.link.state.dataFlowing = true;
    core.link.state.silentTicks = 0;
    if (measurement) core.link.state.freshSample = true;
  }
};

TEST_F(RefreshTickTest, FourSilentTicksKeepTheLinkTheFifthTimesOutAndEveryFurtherOneRepeats) {
  core.link.commands.startFrames();  // waiting in the queue
  tick(4);
  EXPECT_TRUE(core.link.state.linkUp);
  tick();
  EXPECT_FALSE(core.link.state.linkUp);
  EXPECT_TRUE(core.link.state.rxIdle);
  EXPECT_FALSE(core.link.state.dataFlowing);
  // Only the identification's own follow-up read waits.
  EXPECT_EQ(core.link.queue.waitingCount(core.link.state.tx.txReadIndex, core.link.state.tx.txWriteIndex), 1);
  EXPECT_EQ(core.link.state.tx.txQueue[static_cast<std::size_t>(core.link.state.tx.txReadIndex)], ":00010A10E5");
  EXPECT_EQ(core.mainWindow.panel(2), "Link OFF");
  EXPECT_EQ(core.mainWindow.panel(3), "No module found (timeout)");
  EXPECT_TRUE(core.mainWindow.oxalisOffLine.enabled);
  EXPECT_TRUE(core.mainWindow.panoraOffLine.enabled);
  EXPECT_TRUE(core.mainWindow.qtxOffLine.enabled);
  // The waiting record went out after three ticks without an XON (the XON
  // may have been lost on the line), then the keep-alive XON; the time-out
  // asks for the identification.
  EXPECT_EQ(port.take(), ":00000113EC\x11\x11:00000012EE\x11");

  core.mainWindow.panel(2) = "";
  tick();
  EXPECT_EQ(core.mainWindow.panel(2), "Link OFF");
  EXPECT_EQ(port.take(), ":00000012EE\x11");  // identification asked again on every tick
}

// The lamps tell a condition only while a module reports it; otherwise
// they are grey, whatever the last diagnostic byte said.
TEST_F(RefreshTickTest, LampsAreKnownOnlyWhileDataFlows) {
  core.monitor.live.diagFlags = 0x01;
  byteArrives(true);
  tick();
  EXPECT_TRUE(core.monitor.livePanel.lamps[0].known);
  EXPECT_TRUE(core.monitor.livePanel.lamps[0].red);
  tick(5);
  for (const DiagLampModel& lamp : core.monitor.livePanel.lamps) EXPECT_FALSE(lamp.known);
}

TEST_F(RefreshTickTest, TimeOutReopensAPortTheAdapterLost) {
  core.link.state.currentPort = 4;
  port.close();  // the adapter was unplugged
  port.setOpenResult(4, PortOpenResult::Absent);
  tick(5);
  EXPECT_FALSE(port.isOpen());
  port.setOpenResult(4, PortOpenResult::Ok);  // plugged back in
  tick();
  EXPECT_TRUE(port.isOpen());
  EXPECT_EQ(port.take(), ":00000012EE\x11");
}

TEST_F(RefreshTickTest, KeepAliveOnlyWhenNothingWaitsToBeSent) {
  byteArrives(true);
  tick();
  EXPECT_EQ(port.take(), "\x11");
  core.link.commands.requestTime();
  byteArrives(true);
  tick();
  EXPECT_EQ(port.take(), "");
}

TEST_F(RefreshTickTest, ClosedPortSendsNoKeepAliveButStillPaints) {
  port.close();
  core.monitor.live.richness = 1000;
  byteArrives(true);
  tick();
  EXPECT_EQ(port.written, "");
  EXPECT_EQ(cell(1).text, " 1.000");
  tick(5);
  for (const auto& c : core.monitor.livePanel.cells) EXPECT_EQ(c.textColor, kOfflineGrey);
}

TEST_F(RefreshTickTest, FailedKeepAliveReportsAndEndsTheTick) {
  port.failWrites = true;
  core.monitor.live.richness = 1000;
  byteArrives(true);
  tick();
  EXPECT_NE(core.mainWindow.linkNotice.text.find("disconnected"), std::string::npos);
  EXPECT_EQ(cell(1).text, "");
  EXPECT_TRUE(core.link.state.freshSample);  // the rest of the tick did not run
}

TEST_F(RefreshTickTest, FreshnessColours) {
  byteArrives(true);
  tick();
  EXPECT_EQ(cell(0).textColor, Rgb(0, 248, 0));
  byteArrives(false);
  port.take();
  core.link.state.tx.moduleReady = true;
  tick();
  EXPECT_EQ(cell(0).textColor, Rgb(255, 255, 0));
  // Bytes without measurements: the stream is asked for once, not per cell.
  EXPECT_EQ(port.take(), "\x11:00000113EC");
  EXPECT_TRUE(core.link.queue.isEmpty());
}

TEST_F(RefreshTickTest, StoppedStreamTurnsYellowWithoutAskingForFrames) {
  core.link.state.streamRunning = false;
  byteArrives(false);
  tick();
  EXPECT_EQ(cell(0).textColor, kStaleYellow);
  EXPECT_TRUE(core.link.queue.isEmpty());
}

TEST_F(RefreshTickTest, OnlyChangedCellsAreRepaintedAndResizeRepaintsAll) {
  byteArrives(true);
  tick();
  std::array<int, 18> before{};
  for (int i = 0; i < 18; ++i) before[static_cast<std::size_t>(i)] = cell(i).paintCount;
  core.monitor.live.richness = 850;
  byteArrives(true);
  tick();
  for (int i = 0; i < 18; ++i) EXPECT_EQ(cell(i).paintCount, before[static_cast<std::size_t>(i)] + (i == 1 ? 1 : 0)) << i;

  livePanelResized(core.monitor);
  byteArrives(true);
  tick();
  for (int i = 0; i < 18; ++i) EXPECT_EQ(cell(i).paintCount, before[static_cast<std::size_t>(i)] + (i == 1 ? 2 : 1)) << i;
}

TEST_F(RefreshTickTest, OxalisTextsIncludingHeaterTimeout) {
  LiveValues& v = core.monitor.live;
  v.vOutMv = 2500;
  v.richness = 1000;
  v.lambda = 99999;
  v.o2 = 0xFF38;
  v.airFuel = 1457;
  v.heaterPwm = 1;
  v.channel[0] = 3000;
  byteArrives(true);
  tick();
  EXPECT_EQ(cell(0).text, " 2500");
  EXPECT_EQ(cell(2).text, " 65.535");
  EXPECT_EQ(v.lambda, 65535);  // the panel keeps what it shows
  EXPECT_EQ(cell(3).text, "-2.00");
  EXPECT_EQ(cell(4).text, " 14.57");
  EXPECT_EQ(cell(9).text, "Timeout");
  EXPECT_EQ(cell(13).text, " 3000");
  EXPECT_EQ(cell(17).text, "");
  v.heaterPwm = 2;
  tick();
  EXPECT_EQ(cell(9).text, " 2");
}

TEST_F(RefreshTickTest, PanoraTexts) {
  core.link.state.identity.deviceCode = "PNU";
  LiveValues& v = core.monitor.live;
  v.channelSelect = 3;
  v.fuelType = 1;
  v.brightnessPct = 0;
  v.channel[4] = 1234;
  v.klux = 55;
  byteArrives(true);
  tick();
  EXPECT_EQ(cell(10).text, "A/F");
  EXPECT_EQ(cell(11).text, "Diesel");
  EXPECT_EQ(cell(12).text, "Auto");
  EXPECT_EQ(cell(8).text, " 1234");
  EXPECT_EQ(cell(17).text, " 1234");
  EXPECT_EQ(cell(9).text, " 5.5");
  v.channelSelect = 12;
  v.brightnessPct = 75;
  tick();
  EXPECT_EQ(cell(10).text, "");
  EXPECT_EQ(cell(12).text, " 75");
}

TEST_F(RefreshTickTest, QtxAndRmwRefreshTheirOwnCells) {
  core.link.state.identity.deviceCode = "QTX";
  core.monitor.live.vOutMv = 125;
  byteArrives(true);
  tick();
  EXPECT_EQ(cell(0).text, " 12.5");

  core.link.state.identity.deviceCode = "RMW";
  core.monitor.live.vOutMv = 999;
  core.monitor.live.probeTempC = 20;
  tick();
  EXPECT_EQ(cell(0).text, " 12.5");  // not refreshed for the steering wheel
  EXPECT_EQ(cell(5).text, " 20");
}

TEST_F(RefreshTickTest, DiagnosticByteSetsLampsAndFactoryMirrors) {
  core.factory.visible = true;
  core.factory.frameLost = true;
  core.monitor.live.diagFlags = 0x05;
  core.monitor.live.canErrorFlags = 0x21;
  core.monitor.live.canErrorCount = 7;
  byteArrives(true);
  tick();
  const auto& lamps = core.monitor.livePanel.lamps;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(lamps[static_cast<std::size_t>(i)].red, i == 0 || i == 2) << i;
  EXPECT_TRUE(lamps[8].red);
  EXPECT_EQ(lamps[0].redLabel, "Warm Up");
  EXPECT_EQ(lamps[8].redLabel, "CAN Err");
  EXPECT_EQ(lamps[8].greenLabel, "CAN ok");
  EXPECT_EQ(core.factory.W_DIAG, "5");
  EXPECT_EQ(core.factory.CNTErrCAN, "7");
  EXPECT_EQ(core.factory.DiagCan, (std::array<bool, 6>{true, false, false, false, false, true}));
  EXPECT_FALSE(core.factory.frameLost);  // shown for one tick only
  core.monitor.live.canErrorFlags = 0;
  tick();
  EXPECT_FALSE(lamps[8].red);
}

TEST_F(RefreshTickTest, FactoryDebugMirror) {
  core.factory.visible = true;
  core.link.state.rx.previousRxLine = ":0000001501EA";
  core.link.state.tx.lastSentRecord = ":00000015EB";
  byteArrives(true);
  tick();
  EXPECT_EQ(core.factory.DEBUG_RX, ":0000001501EA");
  EXPECT_EQ(core.factory.DEBUG_TX, ":00000015EB");
}

TEST(KeepAliveTick, TimeRequestUnlessHeldBack) {
  test::CoreFixture f;
  f.port.open(1);
  f.core.link.state.linkUp = true;
  f.core.link.state.tx.moduleReady = true;
  f.core.link.state.keepAliveDelay = 2;
  f.core.onTimer(TimerId::KeepAlive);
  f.core.onTimer(TimerId::KeepAlive);
  EXPECT_EQ(f.port.take(), "");
  f.core.onTimer(TimerId::KeepAlive);
  EXPECT_EQ(f.port.take(), ":00000015EB");
}

}  // namespace
}  // namespace oxalis
