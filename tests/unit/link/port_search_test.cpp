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
  // Ticks until the search timer stops or a pass ends without an answer,
  // answering like a module on `modulePort` would; returns the ticks taken.
  int runSearch(int modulePort = 0, int maxTicks = 100) {
    int ticks = 0;
    if (failedPass()) core.link.search.tick();  // the pass after a failed one
    while (timers.isEnabled(TimerId::Search) && !failedPass() && ticks < maxTicks) {
      core.link.search.tick();
      ++ticks;
      if (modulePort && port.openPort == modulePort && !core.link.state.linkUp)
        feed(core, test::identificationReply("OX2", 99, {1, 0, 1, 0}));
    }
    return ticks;
  }
  bool failedPass() const { return timers.interval(TimerId::Search) == PortSearch::kIntervalRetry; }
  const std::string& notice() const { return core.mainWindow.linkNotice.text; }
};

// No modal box: a notice names what was tried and the usual fixes, the
// search goes on by itself and a recording keeps going.
TEST_F(PortSearchTest, WithoutSavedPortTriesPorts1To32ThenNoticesAndGoesOn) {
  port.setOpenResult(7, PortOpenResult::Ok);
  port.setOpenResult(9, PortOpenResult::PermissionDenied);
  core.state.recording = true;
  start(0);
  runSearch();
  std::vector<int> expected(32);
  std::iota(expected.begin(), expected.end(), 1);
  EXPECT_EQ(port.openAttempts, expected);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(notice().rfind("No device found. Ports tried: COM7 (no answer), COM9 (permission denied).", 0), 0u)
      << notice();
  for (const char* hint : {"dialout", "--demo", "USB cable"}) EXPECT_NE(notice().find(hint), std::string::npos) << hint;
  EXPECT_EQ(core.mainWindow.panel(1), "No port");
  EXPECT_TRUE(timers.isEnabled(TimerId::Search));
  EXPECT_TRUE(core.state.recording);

  // The module is plugged in on port 4: the next pass finds it, the notice goes.
  port.setOpenResult(4, PortOpenResult::Ok);
  port.openAttempts.clear();
  runSearch(4);
  EXPECT_EQ(port.openAttempts, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(core.link.state.linkUp);
  EXPECT_TRUE(core.mainWindow.linkNotice.text.empty());
}

TEST_F(PortSearchTest, NoticeClosedByTheUserStaysClosedUntilAModuleWasFound) {
  start(0);
  runSearch();
  ASSERT_FALSE(notice().empty());
  core.dismissLinkNotice();
  runSearch();
  EXPECT_TRUE(notice().empty());
}

TEST_F(PortSearchTest, SavedPortFirstThenUpwardsAndSavedPortReopenedAfterFailure) {
  port.setOpenResult(3, PortOpenResult::Ok);
  port.setOpenResult(5, PortOpenResult::Ok);
  start(5);
  runSearch(3);
  EXPECT_EQ(port.openAttempts.front(), 5);
  EXPECT_EQ(std::count(port.openAttempts.begin(), port.openAttempts.end(), 3), 0);
  EXPECT_FALSE(notice().empty());
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
  EXPECT_TRUE(dialogs.messages.empty());
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
