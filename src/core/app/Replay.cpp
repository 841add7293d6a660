#include "app/Replay.h"

#include <algorithm>

#include "app/Core.h"
#include "monitor/RefreshTick.h"
#include "trace/TraceAnalysis.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {

std::int32_t newestSample(const Core& core) { return std::max(core.trace.buffer.sampleCount - 1, 0); }

std::string seconds(std::int32_t sample) {
  std::string text = formatFixedWide(std::int64_t{sample} * 100 / TraceBuffer::kSamplesPerSecond, 2);
  if (!text.empty() && text.front() == ' ') text.erase(0, 1);  // the sign column is not needed here
  return text + " s";
}

void showBar(Core& core) {
  const ReplayState& replay = core.replay;
  ReplayBarModel& bar = core.mainWindow.replay;
  bar.visible = replayAvailable(core);
  bar.active = replay.active;
  bar.playing = replay.playing;
  bar.speed = replay.speed;
  bar.position = replay.active ? seconds(replay.position) + " / " + seconds(newestSample(core)) : std::string();
  core.mainWindow.changed.notify();
}

// The recorded sample at the replay position into the live values, the
// panel and cursor A.
void showPosition(Core& core) {
  ReplayState& replay = core.replay;
  replay.position = clampToHeld(core.trace.buffer, replay.position);
  const TraceSample& sample = core.trace.buffer.at(replay.position);
  LiveValues& live = core.monitor.live;
  live.vOutMv = sample.vOutMv;
  live.richness = sample.richness;
  live.lambda = sample.lambda;
  live.o2 = sample.o2;
  live.airFuel = sample.airFuel;
  live.probeTempC = sample.probeTempC;
  live.vsMv = sample.vsMv;
  live.diagFlags = sample.diagFlags;
  live.channel = sample.channel;
  refreshReplayPanel(core.monitor);
  moveCursorATo(core.trace, replay.position);
  showBar(core);
}

void setTimer(Core& core, bool running) {
  core.platform.timers.setInterval(TimerId::Replay, kReplayTickMs);
  core.platform.timers.setEnabled(TimerId::Replay, running);
}

}  // namespace

bool replayAvailable(const Core& core) {
  return core.state.dataFileOpened && !core.state.recording && core.trace.buffer.sampleCount > 0;
}

void replayPlayPause(Core& core) {
  if (!replayAvailable(core)) return;
  ReplayState& replay = core.replay;
  if (!replay.active) {
    replay.active = true;
    replay.liveBefore = core.monitor.live;
    core.trace.cursorFollowsPointer = false;
    replay.position = clampToHeld(core.trace.buffer, core.trace.buffer.cursorSample);
    replay.playing = false;
  }
  replay.playing = !replay.playing;
  if (replay.playing && replay.position >= newestSample(core))
    replay.position = clampToHeld(core.trace.buffer, 0);  // played to the end: from the start again
  setTimer(core, replay.playing);
  showPosition(core);
}

void replaySetSpeed(Core& core, int speed) {
  if (std::find(kReplaySpeeds.begin(), kReplaySpeeds.end(), speed) == kReplaySpeeds.end()) return;
  core.replay.speed = speed;
  showBar(core);
}

void replaySeek(Core& core, std::int64_t sample) {
  ReplayState& replay = core.replay;
  if (!replay.active) return;
  replay.position = clampToHeld(core.trace.buffer, sample);
  if (replay.playing && replay.position >= newestSample(core)) {
    replay.playing = false;
    setTimer(core, false);
  }
  showPosition(core);
}

void replayTick(Core& core) {
  ReplayState& replay = core.replay;
  if (!replay.active || !replay.playing) return setTimer(core, false);
  const std::int64_t next = std::int64_t{replay.position} + replay.speed;
  replay.position = clampToHeld(core.trace.buffer, next);
  if (next >= newestSample(core)) {
    replay.playing = false;
    setTimer(core, false);
  }
  showPosition(core);
}

void replayStop(Core& core) {
  ReplayState& replay = core.replay;
  setTimer(core, false);
  if (replay.active) {
    replay.active = false;
    replay.playing = false;
    core.trace.cursorFollowsPointer = true;
    core.monitor.live = replay.liveBefore;
    core.monitor.livePanel.forceRepaint = true;
    refreshPanel(core.monitor, core.link.state.dataFlowing, false);
  }
  showBar(core);
}

void replayAvailabilityChanged(Core& core) {
  if (!replayAvailable(core)) return replayStop(core);
  showBar(core);
}

}  // namespace oxalis
