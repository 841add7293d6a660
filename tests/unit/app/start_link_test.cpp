// Start of the link at start-up: state reset and the search started on the
// saved port.
#include <gtest/gtest.h>

#include "CoreFixture.h"

namespace oxalis {
namespace {

TEST(StartLink, ResetsLinkStateAndStartsTheSearchOnTheSavedPort) {
  test::CoreFixture f;
  f.core.state.linkUp = true;
  f.core.state.rxIdle = false;
  f.core.state.streamRunning = false;
  f.core.state.tx.txWriteIndex = 7;
  f.core.state.lastModulePort = 6;
  f.core.startLink();
  EXPECT_FALSE(f.core.state.linkUp);
  EXPECT_TRUE(f.core.state.rxIdle);
  EXPECT_TRUE(f.core.state.streamRunning);
  EXPECT_EQ(f.core.state.tx.txWriteIndex, 0);
  EXPECT_TRUE(f.core.state.firstSearchTick);
  EXPECT_EQ(f.core.state.currentPort, 6);
  EXPECT_TRUE(f.timers.isEnabled(TimerId::Search));
  EXPECT_EQ(f.timers.interval(TimerId::Search), 50);
  f.core.search.tick();
  EXPECT_EQ(f.port.openAttempts, std::vector<int>{6});
}

}  // namespace
}  // namespace oxalis
