// The lost-frame counter: every measurement record missing from the
// sequence counts, whether or not the factory window is there to report the
// break.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

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

TEST_F(LostFrameCount, CountsTheMissingRecordsWhereTheFactoryWindowReportsBreaks) {
  core.factory.visible = true;
  sequences({1, 2, 5, 6, 9, 10});  // 3, 4 and 7, 8 missing
  EXPECT_EQ(core.link.state.rx.lostFrames, 4u);
  std::size_t reports = 0;
  for (auto at = core.factory.W_Log.find("Trame perdu"); at != std::string::npos;
       at = core.factory.W_Log.find("Trame perdu", at + 1))
    ++reports;
  EXPECT_EQ(reports, 2u);
}

// The sequence runs 0..255 and round again: the records missing between two
// sequence numbers are counted modulo 256.
struct MissingCase {
  std::vector<int> sequence;
  std::uint32_t lost;
};

TEST_F(LostFrameCount, CountsMissingRecordsModulo256) {
  const MissingCase cases[] = {
      {{7, 8, 10}, 1},
      {{10, 15}, 4},
      {{200, 255, 0, 1, 2}, 54},  // 201..254
      {{254, 1}, 2},              // 255 and 0, through the turn
      {{255, 1}, 1},              // 0 alone
      {{250, 0, 1}, 5},           // 251..255: 0 is not reported but ends the gap
      {{9, 3}, 249},              // a jump back is a turn of the counter
      {{3, 3, 4}, 0},             // a repeated record, not a turn of 255
      {{0, 0, 0}, 0},             // a module that does not number its records
  };
  for (const MissingCase& c : cases) {
    core.link.state.rx = RxState{};
    for (int n : c.sequence) feed(core, measurementRecord(n, 1));
    EXPECT_EQ(core.link.state.rx.lostFrames, c.lost) << ::testing::PrintToString(c.sequence);
  }
}

TEST_F(LostFrameCount, TheFactoryWindowShowsTheCountOnTheRefreshTick) {
  core.factory.visible = true;
  EXPECT_EQ(core.factory.lostFramesText, "0 lost frames");
  sequences({10, 15});
  core.onTimer(TimerId::Refresh);
  EXPECT_EQ(core.factory.lostFramesText, "4 lost frames");
}

TEST_F(LostFrameCount, ANewLinkStartsTheComparisonAfresh) {
  sequences({10, 11});
  feed(core, identificationReply("OX2", 7, {1, 0, 1, 0}));
  sequences({50, 51});
  EXPECT_EQ(core.link.state.rx.lostFrames, 0u);
}

TEST_F(LostFrameCount, ModulesWithoutSequenceNumbersNeverCount) {
  for (const auto& [code, length] : {std::pair{"OXL", 10}, std::pair{"QTX", 12}, std::pair{"RMW", 8}}) {
    core.link.state.identity.deviceCode = code;
    for (int n : {7, 9, 20}) feed(core, measurementRecord(n, 1, static_cast<std::size_t>(length)));
    EXPECT_EQ(core.link.state.rx.lostFrames, 0u) << code;
    EXPECT_EQ(core.link.state.rx.droppedRecords, 0u) << code;
  }
}

TEST_F(LostFrameCount, RecordsOutsideALinkAreNotMeasurements) {
  core.link.state.linkUp = false;
  sequences({7, 9, 20});
  EXPECT_EQ(core.link.state.rx.lostFrames, 0u);
}

}  // namespace
}  // namespace oxalis
