// The live panel over the simulated module in process: a streaming module
// turns the cells green with plausible values, an unplugged one grey, and a
// module plugged back in is found again without the user doing anything.
#include <gtest/gtest.h>

#include <charconv>

#include "SimulatedLink.h"
#include "monitor/LivePanel.h"

namespace oxalis {
namespace {

double number(const std::string& text) {
  double value = -1;
  const auto start = text.find_first_not_of(' ');
  if (start != std::string::npos) std::from_chars(text.data() + start, text.data() + text.size(), value);
  return value;
}

TEST(LiveWithSimulator, StreamGoesGreenUnplugGoesGreyAndPlugBackRecovers) {
  test::SimulatedLink link;
  link.plug(1, "OX2");
  link.core.start();
  link.run(20000);  // past the probe's warm-up
  const auto& cells = link.core.monitor.livePanel.cells;
  const auto& lamps = link.core.monitor.livePanel.lamps;

  ASSERT_TRUE(link.core.link.state.linkUp);
  for (int i = 0; i <= 16; ++i) EXPECT_EQ(cells[static_cast<std::size_t>(i)].textColor, kFreshGreen) << i;
  const double richness = number(cells[1].text);
  EXPECT_GT(richness, 0.6);
  EXPECT_LT(richness, 1.4);
  EXPECT_NEAR(number(cells[2].text), 1 / richness, 0.01);
  EXPECT_NEAR(number(cells[4].text), 14.57 / richness, 0.05);
  EXPECT_GT(number(cells[5].text), 700);   // probe temperature, warm
  EXPECT_NEAR(number(cells[7].text), 13.8, 1.5);  // battery
  EXPECT_FALSE(lamps[0].red);  // warm-up over
  EXPECT_NE(link.core.mainWindow.panel(5), "");  // running time from the keep-alive

  link.port.unplug();
  link.dialogs.messages.clear();
  link.run(2000);
  EXPECT_FALSE(link.core.link.state.linkUp);
  EXPECT_EQ(link.core.mainWindow.panel(2), "Link OFF");
  EXPECT_EQ(link.core.mainWindow.panel(3), "No module found (timeout)");
  for (const auto& cell : cells) EXPECT_EQ(cell.textColor, kOfflineGrey);
  EXPECT_LE(link.dialogs.messages.size(), 1u);

  // The adapter comes back on the same port: the refresh tick reopens it.
  EXPECT_FALSE(link.port.isOpen());
  link.port.plugIn(1);
  link.run(3000);
  EXPECT_TRUE(link.port.isOpen());
  EXPECT_TRUE(link.core.link.state.linkUp);
  EXPECT_EQ(link.core.mainWindow.panel(2), "Link ON");
  EXPECT_EQ(cells[1].textColor, kFreshGreen);
}

TEST(LiveWithSimulator, WarmUpLampFollowsTheProbe) {
  test::SimulatedLink link;
  link.plug(1, "OX2");
  link.core.start();
  link.run(3000);
  EXPECT_TRUE(link.core.monitor.livePanel.lamps[0].red);
  EXPECT_EQ(link.core.monitor.livePanel.lamps[0].redLabel, "Warm Up");
  link.run(17000);
  EXPECT_FALSE(link.core.monitor.livePanel.lamps[0].red);
}

TEST(LiveWithSimulator, RunStopStopsAndRestartsTheStream) {
  test::SimulatedLink link;
  auto& module = link.plug(1, "PNU");
  link.core.start();
  link.run(2000);
  ASSERT_TRUE(module.streaming());
  Boutton_Frame_Click(link.core.monitor, link.core.link.commands, link.core.link.state.streamRunning);
  link.run(1000);
  EXPECT_FALSE(module.streaming());
  EXPECT_TRUE(link.core.link.state.linkUp);  // keep-alive replies keep the link up
  EXPECT_EQ(link.core.monitor.livePanel.cells[1].textColor, kStaleYellow);
  Boutton_Frame_Click(link.core.monitor, link.core.link.commands, link.core.link.state.streamRunning);
  link.run(1000);
  EXPECT_TRUE(module.streaming());
  EXPECT_EQ(link.core.monitor.livePanel.cells[1].textColor, kFreshGreen);
}

}  // namespace
}  // namespace oxalis
