// Replay of an opened data file through the live panel: what the panel and
// the lamps show at each speed, seeking, and handing the panel back to the
// module.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "CoreFixture.h"
#include "RecordedTrace.h"
#include "TempFolder.h"
#include "app/DataCommands.h"
#include "app/Recording.h"
#include "app/Replay.h"
#include "util/Colour.h"

namespace oxalis {
namespace {

constexpr std::int32_t kSamples = 523;  // 10.46 s, not a multiple of any speed

TraceSample known(std::int32_t n) {
  TraceSample s;
  s.vOutMv = static_cast<std::int16_t>(n * 7 % 5000);
  s.richness = static_cast<std::int16_t>(700 + n % 600);
  s.lambda = 1300 - n % 600;
  s.o2 = n % 900 - 450;
  s.airFuel = 1000 + n % 800;
  s.probeTempC = static_cast<std::int16_t>(700 + n % 100);
  s.vsMv = static_cast<std::int16_t>(400 + n % 90);
  s.diagFlags = static_cast<std::uint8_t>(n % 256);
  return s;
}

// The panel's layout: a space in front of a value that is not negative.
std::string fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "% .*f", decimals, value);
  return text;
}

class ReplayTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override {
    core.state.appFolder = folder.path().string();
    core.start();
    traceResized(core.trace, 1000, 300, 1000, 14);
    // A known recording, saved and opened again as a user would.
    test::recordSamples(core.trace.buffer, kSamples, known);
    core.state.dataNotSaved = true;
    file = (folder / "known.DA1").string();
    dialogs.files = {file};
    ASSERT_TRUE(dataSaveAs(core));
    ASSERT_TRUE(dataNew(core));
    ASSERT_TRUE(dataOpenFile(core, file));
    core.trace.buffer.cursorSample = 0;
  }

  // The panel shows sample n, in replay blue, with its diagnostic flags.
  void expectPanelShows(std::int32_t n) {
    SCOPED_TRACE("sample " + std::to_string(n));
    const TraceSample s = known(n);
    const auto& cells = core.monitor.livePanel.cells;
    EXPECT_EQ(cells[0].text, fixed(s.vOutMv, 0));
    EXPECT_EQ(cells[1].text, fixed(s.richness / 1000.0, 3));
    EXPECT_EQ(cells[2].text, fixed(s.lambda / 1000.0, 3));
    EXPECT_EQ(cells[3].text, fixed(s.o2 / 100.0, 2));
    EXPECT_EQ(cells[4].text, fixed(s.airFuel / 100.0, 2));
    EXPECT_EQ(cells[5].text, fixed(s.probeTempC, 0));
    EXPECT_EQ(cells[11].text, fixed(s.vsMv, 0));
    EXPECT_EQ(cells[7].text, "");  // the battery is not in the file
    for (const auto& cell : cells) EXPECT_EQ(cell.textColor, kReplayBlue);
    for (int lamp = 0; lamp < 8; ++lamp) EXPECT_EQ(core.monitor.livePanel.lamps[lamp].red, (s.diagFlags >> lamp & 1) != 0);
    EXPECT_FALSE(core.monitor.livePanel.lamps[8].known);  // the CAN bus is not in the file
    EXPECT_EQ(core.trace.buffer.cursorSample, n);
  }

  test::TempFolder folder;
  std::string file;
};

TEST_F(ReplayTest, EachSpeedShowsEverySampleItReachesExactlyAsRecordedAndStopsAtTheLast) {
  for (int speed : kReplaySpeeds) {
    SCOPED_TRACE("speed " + std::to_string(speed));
    replaySeek(core, 0);
    replaySetSpeed(core, speed);
    if (!core.replay.playing) replayPlayPause(core);
    ASSERT_TRUE(core.replay.active);
    EXPECT_TRUE(timers.state(TimerId::Replay).enabled);
    EXPECT_EQ(timers.state(TimerId::Replay).interval, kReplayTickMs);
    expectPanelShows(0);
    std::int32_t expected = 0;
    while (expected < kSamples - 1) {
      core.onTimer(TimerId::Replay);
      expected = std::min(expected + speed, kSamples - 1);
      expectPanelShows(expected);
      if (HasFailure()) return;
    }
    EXPECT_FALSE(core.replay.playing);
    EXPECT_FALSE(timers.state(TimerId::Replay).enabled);
    EXPECT_EQ(core.mainWindow.replay.position, "10.44 s / 10.44 s");
    // Play at the end starts again from the beginning.
    replayPlayPause(core);
    expectPanelShows(0);
  }
}

TEST_F(ReplayTest, SeekingGoesToTheSampleAndPastTheEndStopsAtTheLast) {
  replayPlayPause(core);
  replaySeek(core, 200);
  expectPanelShows(200);
  EXPECT_TRUE(core.replay.playing);
  replaySeek(core, -5);
  expectPanelShows(0);
  replaySeek(core, 1'000'000);
  expectPanelShows(kSamples - 1);
  EXPECT_FALSE(core.replay.playing);
  EXPECT_FALSE(timers.state(TimerId::Replay).enabled);
  // A click on the overview strip beyond the recording does the same.
  replayPlayPause(core);
  replaySeek(core, sampleUnderStrip(core.trace, core.trace.view.stripWidth));
  expectPanelShows(kSamples - 1);
}

// Back to live gives the panel the module's last values, in their own colour.
TEST_F(ReplayTest, BackToLiveGivesThePanelBack) {
  core.monitor.live.richness = 1234;
  core.monitor.live.batteryVolt = 138;
  replayPlayPause(core);
  EXPECT_EQ(core.mainWindow.replay.position, "0.00 s / 10.44 s");
  replayStop(core);
  EXPECT_FALSE(core.mainWindow.replay.active);
  EXPECT_FALSE(timers.state(TimerId::Replay).enabled);
  EXPECT_TRUE(core.trace.cursorFollowsPointer);
  EXPECT_EQ(core.monitor.livePanel.cells[1].text, " 1.234");
  EXPECT_EQ(core.monitor.livePanel.cells[7].text, " 13.8");
  EXPECT_NE(core.monitor.livePanel.cells[1].textColor, kReplayBlue);
}

TEST_F(ReplayTest, RecordingOrANewTraceEndsTheReplay) {
  replayPlayPause(core);
  dialogs.answers = {Answer::Yes};  // append to the opened file
  startRecord(core);
  ASSERT_TRUE(core.state.recording);
  EXPECT_FALSE(core.replay.active);
  EXPECT_FALSE(core.mainWindow.replay.visible);
  stopRecord(core);
  EXPECT_TRUE(core.mainWindow.replay.visible);

  replayPlayPause(core);
  dialogs.answers = {Answer::No};  // do not save
  ASSERT_TRUE(dataNew(core));
  EXPECT_FALSE(core.replay.active);
  EXPECT_FALSE(core.mainWindow.replay.visible);
  replayPlayPause(core);  // nothing to play
  EXPECT_FALSE(core.replay.active);
}

}  // namespace
}  // namespace oxalis
