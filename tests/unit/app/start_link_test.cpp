// Start of the link at start-up: state reset and the search started on the
// saved port.
#include <gtest/gtest.h>

#include "CoreFixture.h"

namespace oxalis {
namespace {

TEST(StartLink, ResetsLinkStateAndStartsTheSearchOnTheSavedPort) {
  test::CoreFixture f;
  f.core.link.state.linkUp = true;
  f.core.link.state.rxIdle = false;
  f.core.link.state.streamRunning = false;
  f.core.link.state.tx.txWriteIndex = 7;
  f.core.link.state.lastModulePort = 6;
  f.core.startLink();
  EXPECT_FALSE(f.core.link.state.linkUp);
  EXPECT_TRUE(f.core.link.state.rxIdle);
  EXPECT_TRUE(f.core.link.state.streamRunning);
  EXPECT_EQ(f.core.link.state.tx.txWriteIndex, 0);
  EXPECT_TRUE(f.core.link.state.firstSearchTick);
  EXPECT_EQ(f.core.link.state.currentPort, 6);
  EXPECT_TRUE(f.timers.isEnabled(TimerId::Search));
  EXPECT_EQ(f.timers.interval(TimerId::Search), 50);
  f.core.link.search.tick();
  EXPECT_EQ(f.port.openAttempts, std::vector<int>{6});
}

}  // namespace
}  // namespace oxalis
