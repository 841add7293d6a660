// Laying out the live panel per module type, its labels and its controls.
#include "monitor/LivePanel.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "config/ChannelLine.h"
#include "TempFolder.h"

#include <tuple>

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
  EXPECT_EQ(label(4), "A/F (St:14.57)");
  EXPECT_EQ(label(5), "Probe T (\u00B0C)");  // the degree sign on screen
  EXPECT_EQ(label(13), "CAN1");
  EXPECT_EQ(core.monitor.livePanel.cells[13].labelColor, 255u);
  EXPECT_EQ(core.monitor.livePanel.cells[13].labelTooltip, ChannelTooltipText(core.channels.slot(1)));
  EXPECT_EQ(core.monitor.livePanel.SearchPort, "Search Oxalis");
  EXPECT_TRUE(core.mainWindow.oxalisOffLine.checked);
  // No module yet: every lamp grey, whatever its bit says.
  for (const DiagLampModel& lamp : core.monitor.livePanel.lamps) EXPECT_FALSE(lamp.known);
}

// Each module type shows exactly the cells, lamps, channel ticks, cursor
// boxes and trace choices it sends, with its own captions, whatever type
// came before it.
struct Shown {
  const char* code;
  const char* cells;    // '1': value cell i shown
  const char* lamps;
  const char* ticks;    // ShowCanal 0-4
  const char* cursors;  // ValCurseur 0-9
  const char* choices;  // the trace's built-in quantities
  std::array<const char*, 5> labels;  // labels 0, 4, 5, 8, 10
  int channelCount;
};

TEST_F(LivePanelTest, EveryModuleTypeShowsOnlyWhatItSends) {
  const Shown table[] = {
      {"PNU", "111111110111111111", "111110001", "11111", "1111111111", "11111",
       {"V Richness (mV)", "A/F (St:14.57)", "Vin (mV)", "Vin (mV)", "Channel"}, 5},
      {"OX2", "111111111111111110", "111111111", "11110", "1111111110", "11111",
       {"Vout (mV)", "A/F (St:14.57)", "Probe T (\u00B0C)", "V Heat (V)", "Vgnd (mV)"}, 4},
      {"QTX", "111111110011000000", "111111100", "00000", "1111100000", "11111",
       {"I pump", "I2T", "I overload", "Vin (mV)", "Fused"}, 5},
      {"OXL", "111111111111100000", "111111111", "00000", "1111100000", "11111",
       {"Vout (mV)", "A/F (St:14.57)", "Probe T (\u00B0C)", "V Heat (V)", "Vgnd (mV)"}, 4},
      {"RMW", "000000000000011110", "111111110", "11110", "0000011110", "00000",
       {"-", "-", "-", "-", "-"}, 4},
  };
  const auto bits = [](const auto& flags, auto get) {
    std::string out;
    for (std::size_t i = 0; i < flags.size(); ++i) out += get(flags[i]) ? '1' : '0';
    return out;
  };
  const auto same = [](bool b) { return b; };
  for (const Shown& e : table) {
    SCOPED_TRACE(e.code);
    layout(e.code);
    const LivePanelModel& panel = core.monitor.livePanel;
    EXPECT_EQ(bits(panel.cells, [](const LiveCellModel& c) { return c.visible; }), e.cells);
    EXPECT_EQ(bits(panel.lamps, [](const DiagLampModel& l) { return l.visible; }), e.lamps);
    EXPECT_EQ(bits(panel.showCanalVisible, same), e.ticks);
    EXPECT_EQ(bits(panel.valCurseurVisible, same), e.cursors);
    EXPECT_EQ(bits(panel.traceChoiceVisible, same), e.choices);
    EXPECT_EQ((std::array<std::string, 5>{label(0), label(4), label(5), label(8), label(10)}),
              (std::array<std::string, 5>{e.labels[0], e.labels[1], e.labels[2], e.labels[3], e.labels[4]}));
    EXPECT_EQ(core.monitor.channelCount, e.channelCount);
    EXPECT_EQ(panel.panoraListsVisible, std::string(e.code) == "PNU");
    // Every lamp shown says what its colours mean.
    for (const DiagLampModel& lamp : panel.lamps)
      EXPECT_TRUE(!lamp.visible || !lamp.greenTooltip.empty()) << lamp.greenLabel;
  }
  layout("QTX");
  EXPECT_EQ(core.monitor.livePanel.traceChoiceNames[0], "I pump");
  EXPECT_EQ(core.monitor.diagLabelsCanOk, core.monitor.diagLabelsCanErr);
  EXPECT_EQ(core.monitor.livePanel.lamps[8].redTooltip, "CAN error. Check cables or CAN configuration");
  EXPECT_FALSE(core.factory.sendTpropEnabled);
  layout("ABC");  // unknown: the previous layout stays
  EXPECT_EQ(label(0), "I pump");
}

TEST_F(LivePanelTest, ARestartWithASteeringWheelOrAnUnknownModuleIsLaidOut) {
  for (const auto& [last, code, title] :
       {std::tuple{"RMW", "RMW", "RMW Monitor 2.10"}, std::tuple{"XYZ", "OX2", "Oxalis Monitor 2.10"}}) {
    SCOPED_TRACE(last);
    test::TempFolder folder;
    core.state.appFolder = folder.path().string();
    test::WriteBytes(folder / "OXL_Monitor.ini", std::string("[Last Module]:") + last + "\r\n");
    core.start();
    EXPECT_EQ(core.link.state.identity.deviceCode, code);
    EXPECT_EQ(core.mainWindow.caption, title);
    EXPECT_EQ(core.monitor.livePanel.SearchPort, code == std::string("RMW") ? "Search Module" : "Search Oxalis");
    EXPECT_FALSE(core.monitor.livePanel.lamps[0].greenLabel.empty());
    EXPECT_EQ(label(13), "CAN1");
  }
}

TEST_F(LivePanelTest, AfLabelFollowsTheRatio) {
  core.monitor.stoichRatio = 14.7;
  setAfLabel(core.monitor);
  EXPECT_EQ(label(4), "A/F (St:14.7)");
  layout("QTX");  // no air/fuel ratio on the drain tool
  setAfLabel(core.monitor);
  EXPECT_EQ(label(4), "I2T");
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
