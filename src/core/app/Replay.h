#pragma once
// Replay: an opened data file played through the live panel and the lamps
// as it looked live, at the recorded pace or 2, 5 or 10 times faster. The
// played sample is cursor A on the trace; a click on the trace or the
// overview strip seeks. The link is left as it is; only what the panel
// shows changes, in replay blue, and the main window says it is a replay.
#include <array>
#include <cstdint>

#include "monitor/LiveValues.h"

namespace oxalis {

class Core;

inline constexpr std::array<int, 4> kReplaySpeeds{1, 2, 5, 10};
// One replay tick: a recorded sample's time (the module sends 50 a second).
inline constexpr int kReplayTickMs = 20;

struct ReplayState {
  bool active = false;   // the panel shows the file, not the module
  bool playing = false;
  int speed = 1;
  std::int32_t position = 0;  // the sample shown
  LiveValues liveBefore;      // the module's values, given back at the end
};

// An opened data file with samples, and no recording running.
bool replayAvailable(const Core& core);
// Play or pause. The first play starts the replay at cursor A (at the
// recording's start when A is at its end).
void replayPlayPause(Core& core);
// 1, 2, 5 or 10 times the recorded pace; other values are ignored.
void replaySetSpeed(Core& core, int speed);
// The panel shows the sample nearest `sample` the recording holds; playing
// on from there, unless it is the last one.
void replaySeek(Core& core, std::int64_t sample);
// The replay timer: `speed` samples on; the last sample ends the play.
void replayTick(Core& core);
// Back to live: the timer stops, the panel shows the module again.
void replayStop(Core& core);
// The file, the recording or the trace changed: a replay that is no longer
// possible ends, and the main window's replay bar follows.
void replayAvailabilityChanged(Core& core);

}  // namespace oxalis
