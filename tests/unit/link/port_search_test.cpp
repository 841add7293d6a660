#include "link/PortSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "CoreFixture.h"
#include "Feed.h"

namespace oxalis {
namespace {

using test::feed;

class PortSearchTest : public ::testing::Test, public test::CoreFixture {
 protected:
  // Every port absent except those a test opens up.
  void SetUp() override {
    for (int n = 1; n <= 32; ++n) port.setOpenResult(n, PortOpenResult::Absent);
  }
  void start(int lastModulePort) {
    core.link.state.lastModulePort = static_cast<std::uint8_t>(lastModulePort);
    core.startLink();
  }
  // Ticks until the search timer stops, answering like a module on
  // `modulePort` would; returns the ticks taken.
  int runSearch(int modulePort = 0, int maxTicks = 100) {
    int ticks = 0;
    while (timers.isEnabled(TimerId::Search) && ticks < maxTicks) {
      core.link.search.tick();
      ++ticks;
      if (modulePort && port.openPort == modulePort && !core.link.state.linkUp)
        feed(core, test::identificationReply("OX2", 99, {1, 0, 1, 0}));
    }
    return ticks;
  }
};

TEST_F(PortSearchTest, WithoutSavedPortTriesPorts1To32ThenReportsNoDevice) {
  core.state.recording = true;
  start(0);
  runSearch();
  std::vector<int> expected(32);
  std::iota(expected.begin(), expected.end(), 1);
  EXPECT_EQ(port.openAttempts, expected);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "No device found");
  EXPECT_EQ(dialogs.messages[0].title, "Error");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(core.mainWindow.panel(1), "COM:??");
  EXPECT_FALSE(timers.isEnabled(TimerId::Search));
  EXPECT_FALSE(core.state.recording);  // recording stops with the search
}

TEST_F(PortSearchTest, SavedPortFirstThenUpwardsAndSavedPortReopenedAfterFailure) {
  port.setOpenResult(3, PortOpenResult::Ok);
  port.setOpenResult(5, PortOpenResult::Ok);
  start(5);
  runSearch(3);
  EXPECT_EQ(port.openAttempts.front(), 5);
  EXPECT_EQ(std::count(port.openAttempts.begin(), port.openAttempts.end(), 3), 0);
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(port.openPort, 5);  // reopened for a module plugged in later
  EXPECT_EQ(core.mainWindow.panel(1), "COM:5");

  // The search button starts from port 1 and finds the module on 3.
  core.link.search.restart();
  port.openAttempts.clear();
  runSearch(3);
  EXPECT_EQ(port.openAttempts, (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(core.link.state.linkUp);
  EXPECT_EQ(core.link.state.currentPort, 3);
  EXPECT_EQ(core.mainWindow.panel(1), "COM:3");
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(PortSearchTest, ModuleOnFirstPortEndsSearchWithinTwoTicks) {
  port.setOpenResult(1, PortOpenResult::Ok);
  start(0);
  EXPECT_EQ(runSearch(1), 2);
  EXPECT_EQ(port.openPort, 1);
  EXPECT_FALSE(timers.isEnabled(TimerId::Search));
}

TEST_F(PortSearchTest, IntervalsFollowWhatHappenedOnThePort) {
  port.setOpenResult(2, PortOpenResult::Ok);
  start(0);
  EXPECT_EQ(timers.interval(TimerId::Search), 50);
  core.link.search.tick();  // port 1 absent
  EXPECT_EQ(timers.interval(TimerId::Search), 50);
  core.link.search.tick();  // port 2 opens: identification written directly
  EXPECT_EQ(timers.interval(TimerId::Search), 100);
  EXPECT_EQ(port.take().substr(0, 12), ":00000012EE\x11");
  feed(core, ":");  // something answers
  EXPECT_EQ(timers.interval(TimerId::Search), 500);
}

TEST_F(PortSearchTest, PermissionDeniedIsReportedOncePerSearchWithTheFix) {
  port.setOpenResult(1, PortOpenResult::PermissionDenied);
  port.setOpenResult(2, PortOpenResult::PermissionDenied);
  start(0);
  runSearch();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text, port.lastOpenError());
  EXPECT_EQ(dialogs.messages[1].text, "No device found");
  core.link.search.restart();
  runSearch();
  EXPECT_EQ(dialogs.messages.size(), 4u);
}

TEST_F(PortSearchTest, TicksDuringTheNoDeviceBoxCannotStackASecondBox) {
  start(0);
  dialogs.onMessage = [this] {
    for (int i = 0; i < 5; ++i)
      if (timers.isEnabled(TimerId::Search)) core.link.search.tick();
  };
  runSearch();
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(PortSearchTest, RestartStopsTimersAndEmptiesTheQueue) {
  core.link.state.linkUp = true;
  timers.setEnabled(TimerId::Refresh, true);
  timers.setEnabled(TimerId::KeepAlive, true);
  ASSERT_TRUE(core.link.queue.queueRecord(":00000113EC"));
  core.link.state.tx.lastSentRecord = ":X";
  core.link.search.restart();
  EXPECT_FALSE(core.link.state.linkUp);
  EXPECT_FALSE(timers.isEnabled(TimerId::Refresh));
  EXPECT_FALSE(timers.isEnabled(TimerId::KeepAlive));
  EXPECT_TRUE(timers.isEnabled(TimerId::Search));
  EXPECT_TRUE(core.link.queue.isEmpty());
  EXPECT_EQ(core.link.state.tx.txWriteIndex, 0);
  EXPECT_EQ(core.link.state.tx.lastSentRecord, "");
}

TEST_F(PortSearchTest, OfflineChoiceSetsTypeAndTicksWithoutTouchingThePort) {
  core.chooseOfflineModule("PNU");
  EXPECT_EQ(core.link.state.identity.deviceCode, "PNU");
  EXPECT_TRUE(core.mainWindow.panoraOffLine.checked);
  EXPECT_FALSE(core.mainWindow.oxalisOffLine.checked);
  EXPECT_EQ(core.monitor.livePanel.SearchPort, "Search Display");
  EXPECT_TRUE(port.openAttempts.empty());
}

}  // namespace
}  // namespace oxalis
