// The port search against simulated modules in process: the whole road from
// the search tick through the identification request, the module's reply and
// the parser to the identified window.
#include <gtest/gtest.h>

#include "SimulatedLink.h"
#include "app/Recording.h"
#include "app/UserLevel.h"

namespace oxalis {
namespace {

using test::SimulatedLink;

TEST(SearchWithSimulator, SavedPortMissesModuleBelowItThenTheNextPassFindsIt) {
  SimulatedLink link;
  link.plug(3, "OX2", 777);
  link.plug(5, "OX2", 555);
  link.port.detach(5);
  link.port.setOpenResult(5, PortOpenResult::Ok);  // an adapter with nothing on it
  link.core.link.state.lastModulePort = 5;
  link.core.startLink();

  link.runUntil([&] { return link.core.mainWindow.linkNotice.visible(); }, 20000);
  EXPECT_TRUE(link.dialogs.messages.empty());
  EXPECT_EQ(link.core.mainWindow.linkNotice.text.rfind("No device found. Ports tried: COM5 (no answer)", 0), 0u);
  EXPECT_EQ(link.port.openPort(), 5);
  EXPECT_EQ(link.core.mainWindow.panel(1), "COM:5");
  EXPECT_FALSE(link.core.link.state.linkUp);

  // Without a click: the next pass starts from port 1.
  const int took = link.runUntil([&] { return !link.timers.isEnabled(TimerId::Search); }, 20000);
  EXPECT_TRUE(link.core.link.state.linkUp);
  EXPECT_EQ(link.port.openPort(), 3);
  EXPECT_EQ(link.core.mainWindow.panel(1), "COM:3");
  EXPECT_EQ(link.core.mainWindow.panel(2), "Link ON");
  EXPECT_EQ(link.core.mainWindow.panel(3).substr(0, 19), "Oxalis V2  S/N:777 ");
  EXPECT_LT(took, 3000);  // the pause between passes, then ports 1 and 2 absent
  EXPECT_TRUE(link.dialogs.messages.empty());
  EXPECT_FALSE(link.core.mainWindow.linkNotice.visible());
}

TEST(SearchWithSimulator, EveryModuleTypeIsFoundAndStreams) {
  for (const char* device : {"OX2", "OXL", "PNU", "RMW", "QTX"}) {
    SCOPED_TRACE(device);
    SimulatedLink link;
    link.plug(1, device);
    link.core.startLink();
    link.runUntil([&] { return link.core.link.state.linkUp; }, 1000);
    ASSERT_TRUE(link.core.link.state.linkUp);
    EXPECT_EQ(link.core.link.state.identity.deviceCode, device);
    // The identification asked for the ratio and started the stream; without
    // the refresh tick's keep-alive the module's XON after each record paces
    // the queue.
    link.core.state.recording = true;  // every measurement then lands in the trace
    link.run(1000);
    EXPECT_GT(link.core.trace.buffer.sampleCount, 40);
    EXPECT_DOUBLE_EQ(link.core.monitor.stoichRatio, 14.57);
    EXPECT_EQ(link.core.state.userLevel, kLevelExpert);  // the module's stored level
  }
}

TEST(SearchWithSimulator, LostFramesAreReportedWhenTheModuleDropsBytes) {
  SimulatedLink link;
  auto& module = link.plug(1, "OX2");
  // The factory window is open at Master, which a stored level read keeps.
  link.core.state.userLevel = kLevelMaster;
  ApplyUserLevel(link.core);
  link.core.startLink();
  link.runUntil([&] { return link.core.link.state.linkUp; }, 1000);
  link.run(500);
  EXPECT_FALSE(link.core.factory.frameLost);
  sim::SimFaults faults;
  faults.dropProbability = 0.02;
  module.setFaults(faults);
  link.run(2000);
  EXPECT_TRUE(link.core.factory.frameLost);
  EXPECT_NE(link.core.factory.W_Log.find("Trame perdu :"), std::string::npos);
}

TEST(SearchWithSimulator, UnpluggedAdapterIsReportedOnce) {
  SimulatedLink link;
  link.plug(2, "OX2");
  link.core.startLink();
  link.runUntil([&] { return link.core.link.state.linkUp; }, 1000);
  link.port.unplug();
  link.core.link.commands.requestTime();
  link.core.link.queue.onXon();
  link.core.link.queue.sendXon();
  EXPECT_TRUE(link.dialogs.messages.empty());
  EXPECT_EQ(link.core.mainWindow.linkNotice.text.rfind("USB error: the port COM2 was disconnected.", 0), 0u);
}

// Unplugged mid-recording: the samples stay, the window says what happened,
// and the recording goes on by itself when the module is plugged back.
TEST(SearchWithSimulator, RecordingKeepsItsSamplesAndResumesAfterAnUnplug) {
  SimulatedLink link;
  link.plug(2, "OX2");
  link.core.startLink();
  link.runUntil([&] { return link.core.link.state.linkUp; }, 1000);
  startRecord(link.core);
  link.run(1000);
  const int before = link.core.trace.buffer.sampleCount;
  ASSERT_GT(before, 40);
  link.port.unplug();
  link.run(3000);
  EXPECT_TRUE(link.core.state.recording);
  EXPECT_EQ(link.core.trace.buffer.sampleCount, before);
  EXPECT_NE(link.core.mainWindow.linkNotice.text.find("recording keeps its samples"), std::string::npos);
  link.port.plugIn(2);
  link.runUntil([&] { return link.core.trace.buffer.sampleCount > before + 40; }, 5000);
  EXPECT_GT(link.core.trace.buffer.sampleCount, before + 40);
  EXPECT_FALSE(link.core.mainWindow.linkNotice.visible());
  EXPECT_TRUE(link.dialogs.messages.empty());
}

}  // namespace
}  // namespace oxalis

namespace oxalis {
namespace {

// The Port menu: a chosen port is tried alone and kept as the last
// module's port; "Automatic search" goes back to ports 1..32.
TEST(SearchWithSimulator, AChosenPortIsTriedAlone) {
  SimulatedLink link;
  link.plug(1, "OX2");
  link.plug(3, "PNU");
  link.core.startLink();
  link.core.choosePort(3);
  link.runUntil([&] { return link.core.link.state.linkUp; }, 3000);
  EXPECT_EQ(link.core.link.state.currentPort, 3);
  EXPECT_EQ(link.core.link.state.identity.deviceCode, "PNU");
  EXPECT_EQ(link.core.link.state.lastModulePort, 3);

  link.core.choosePort(5);  // nothing there
  link.run(5000);
  EXPECT_FALSE(link.core.link.state.linkUp);  // the modules on 1 and 3 are not looked for
  EXPECT_EQ(link.core.link.state.currentPort, 5);

  link.core.choosePort(0);
  link.runUntil([&] { return link.core.link.state.linkUp; }, 20000);
  EXPECT_TRUE(link.core.link.state.linkUp);
}

}  // namespace
}  // namespace oxalis
