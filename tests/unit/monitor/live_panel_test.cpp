// Laying out the live panel per module type, its labels and its controls.
#include "monitor/LivePanel.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "config/ChannelLine.h"

namespace oxalis {
namespace {

class LivePanelTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override { core.start(); }
  void layout(const char* code) {
    core.link.state.identity.deviceCode = code;
    core.layoutPanel();
  }
  const std::string& label(int i) const { return core.monitor.livePanel.cells[static_cast<std::size_t>(i)].label; }
};

TEST_F(LivePanelTest, StartsWithOxalisLayoutAndChannelLabels) {
  EXPECT_EQ(label(0), "Vout (mV)");
  EXPECT_EQ(label(4), "A/F (St:14.57 )");
  EXPECT_EQ(label(5), "Probe T (ºC)");
  EXPECT_EQ(label(12), "Slew Rate");
  EXPECT_EQ(label(13), "CAN1");
  EXPECT_EQ(core.monitor.livePanel.cells[13].labelColor, 255u);
  EXPECT_EQ(core.monitor.livePanel.cells[13].labelTooltip, ChannelTooltipText(core.channels.slot(1)));
  EXPECT_FALSE(core.monitor.livePanel.cells[17].visible);
  EXPECT_EQ(core.monitor.channelCount, 4);
  EXPECT_EQ(core.monitor.livePanel.SearchPort, "Search Oxalis");
  EXPECT_TRUE(core.mainWindow.oxalisOffLine.checked);
}

TEST_F(LivePanelTest, PanoraThenOxalisKeepsLabelsOxalisDoesNotSet) {
  layout("PNU");
  EXPECT_EQ(label(0), "V Richness (mV)");
  EXPECT_EQ(label(8), "Vin (mV)");
  EXPECT_EQ(label(10), "Channel");
  EXPECT_TRUE(core.monitor.livePanel.cells[17].visible);
  EXPECT_TRUE(core.monitor.livePanel.showCanalVisible[4]);
  EXPECT_TRUE(core.monitor.livePanel.valCurseurVisible[9]);
  EXPECT_TRUE(core.monitor.livePanel.panoraListsVisible);
  EXPECT_EQ(core.monitor.channelCount, 5);
  EXPECT_EQ(core.monitor.livePanel.Identifie, "Display info");
  EXPECT_EQ(core.monitor.diagLabelsCanOk[4], "No Msg");
  EXPECT_EQ(core.monitor.diagLabelsCanErr[4], "Showing Msg");
  EXPECT_EQ(core.monitor.diagLabelsCanOk[5], "");
  EXPECT_FALSE(core.factory.sendTpropEnabled);

  layout("OX2");
  EXPECT_EQ(label(0), "V Richness (mV)");  // not set for the lambda controller
  EXPECT_EQ(label(5), "Probe T (ºC)");
  EXPECT_EQ(label(8), "V Heat (V)");
  EXPECT_EQ(label(10), "Vgnd (mV)");
  EXPECT_FALSE(core.monitor.livePanel.cells[17].visible);
  EXPECT_FALSE(core.monitor.livePanel.showCanalVisible[4]);
  EXPECT_FALSE(core.monitor.livePanel.panoraListsVisible);
  EXPECT_EQ(core.monitor.channelCount, 4);
  EXPECT_TRUE(core.factory.sendTpropEnabled);
}

TEST_F(LivePanelTest, SteeringWheelKeepsThePreviousLayout) {
  layout("QTX");
  layout("RMW");
  EXPECT_EQ(label(0), "I pump");
  EXPECT_EQ(core.monitor.livePanel.SearchPort, "Search Device");
  EXPECT_TRUE(core.mainWindow.qtxOffLine.checked);
}

TEST_F(LivePanelTest, QtxShowsTheSameTextsOnBothLamps) {
  layout("QTX");
  EXPECT_EQ(core.monitor.diagLabelsCanOk, core.monitor.diagLabelsCanErr);
  EXPECT_EQ(core.monitor.diagLabelsCanOk[2], "Inrush delay");
  EXPECT_EQ(core.monitor.livePanel.lamps[8].redTooltip, "CAN error. Check cables or CAN configuration");
  EXPECT_EQ(core.monitor.livePanel.lamps[0].redTooltip, "");
}

TEST_F(LivePanelTest, AfLabelFollowsTheRatio) {
  core.monitor.stoichRatio = 14.7;
  setAfLabel(core.monitor);
  EXPECT_EQ(label(4), "A/F (St:14.7 )");
}

TEST_F(LivePanelTest, ChannelLineIntoUserSlotUpdatesLabelColourAndTraceTick) {
  ParseChannelLineIntoSlot(core.monitor, 2, "RPM;0x101;1;2;1;0;0;1;0;0;8000;rpm;65280;yes;0");
  EXPECT_EQ(label(14), "RPM");
  EXPECT_EQ(core.monitor.livePanel.cells[14].labelColor, 65280u);
  EXPECT_TRUE(core.monitor.livePanel.showCanal[1]);
  ParseChannelLineIntoSlot(core.monitor, 5, "Oil;0x000;1;2;1;0;0;1;1;0;10;bar;255;NO");
  EXPECT_EQ(label(17), "Oil");
  EXPECT_EQ(label(8), "Oil (bar)");
  EXPECT_FALSE(core.monitor.livePanel.showCanal[4]);
}

TEST_F(LivePanelTest, RunStopButtonTogglesTheStream) {
  port.open(1);
  core.link.state.linkUp = true;
  core.link.state.tx.moduleReady = true;
  Boutton_Frame_Click(core.monitor, core.link.commands, core.link.state.streamRunning);
  EXPECT_EQ(core.monitor.livePanel.Boutton_Frame, "Run");
  EXPECT_FALSE(core.link.state.streamRunning);
  EXPECT_EQ(port.take(), ":00000013ED");
  core.link.state.tx.moduleReady = true;
  Boutton_Frame_Click(core.monitor, core.link.commands, core.link.state.streamRunning);
  EXPECT_EQ(core.monitor.livePanel.Boutton_Frame, "Stop");
  EXPECT_TRUE(core.link.state.streamRunning);
  EXPECT_EQ(port.take(), ":00000113EC");
}

TEST_F(LivePanelTest, PanoraListsWriteTheirByteAndReload) {
  port.open(1);
  core.link.state.linkUp = true;
  Combo_Luminosite_Click(core.monitor, core.link.commands, 1);  // "25%"
  Combo_Channel_Click(core.monitor, core.link.commands, 11);
  Combo_TypeCarburant_Click(core.monitor, core.link.commands, 1);
  std::vector<std::string> sent;
  while (!core.link.queue.isEmpty()) {
    core.link.queue.onXon();
    sent.push_back(port.take());
  }
  EXPECT_EQ(sent, (std::vector<std::string>{":0200000400F00A", ":01000B0002F2", ":00000514E7", ":0200000400F00A",
                                            ":01000C000BE8", ":00000514E7", ":0200000400F00A", ":01000D0001F1",
                                            ":00000514E7"}));
}

}  // namespace
}  // namespace oxalis
