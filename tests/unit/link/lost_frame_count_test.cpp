// The lost-frame counter: every break in the measurement sequence counts,
// whether or not the factory window is there to report it.
#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "Feed.h"

namespace oxalis {
namespace {

using test::feed;
using test::identificationReply;
using test::measurementRecord;

class LostFrameCount : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override {
    port.open(1);
    core.link.state.identity.deviceCode = "OX2";
    core.link.state.linkUp = true;
  }
  void sequences(std::initializer_list<int> numbers) {
    for (int n : numbers) feed(core, measurementRecord(n, 1));
  }
};

TEST_F(LostFrameCount, CountsWithTheFactoryWindowHiddenAndReportsNothing) {
  core.factory.visible = false;
  sequences({7, 8, 10});
  EXPECT_EQ(core.link.state.rx.lostFrames, 1u);
  EXPECT_FALSE(core.factory.frameLost);
  EXPECT_EQ(core.factory.W_Log.find("Trame perdu"), std::string::npos);
}

TEST_F(LostFrameCount, CountsExactlyTheBreaksTheFactoryWindowReports) {
  core.factory.visible = true;
  sequences({1, 2, 5, 6, 9, 3, 4});  // breaks before 5, 9 and 3
  EXPECT_EQ(core.link.state.rx.lostFrames, 3u);
  std::size_t reports = 0;
  for (auto at = core.factory.W_Log.find("Trame perdu"); at != std::string::npos;
       at = core.factory.W_Log.find("Trame perdu", at + 1))
    ++reports;
  EXPECT_EQ(reports, 3u);
}

TEST_F(LostFrameCount, UncheckedRecordsDoNotCount) {
  // The first record has nothing to compare with; sequence 0 is never
  // checked, so 255 -> 0 -> 1 is no break; a repeated record is one.
  sequences({200, 255, 0, 1, 2});
  EXPECT_EQ(core.link.state.rx.lostFrames, 1u);  // 200 -> 255
  sequences({3, 3});
  EXPECT_EQ(core.link.state.rx.lostFrames, 2u);
  sequences({255, 1});  // 1 straight after 255: the comparison does not wrap
  EXPECT_EQ(core.link.state.rx.lostFrames, 4u);
}

TEST_F(LostFrameCount, ANewLinkStartsTheComparisonAfresh) {
  sequences({10, 11});
  feed(core, identificationReply("OX2", 7, {1, 0, 1, 0}));
  sequences({50, 51});
  EXPECT_EQ(core.link.state.rx.lostFrames, 0u);
}

TEST_F(LostFrameCount, ModulesWithoutSequenceNumbersNeverCount) {
  for (const char* code : {"OXL", "QTX", "RMW"}) {
    core.link.state.identity.deviceCode = code;
    sequences({7, 9, 20});
    EXPECT_EQ(core.link.state.rx.lostFrames, 0u) << code;
  }
}

TEST_F(LostFrameCount, RecordsOutsideALinkAreNotMeasurements) {
  core.link.state.linkUp = false;
  sequences({7, 9, 20});
  EXPECT_EQ(core.link.state.rx.lostFrames, 0u);
}

}  // namespace
}  // namespace oxalis
