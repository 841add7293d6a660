#pragma once
// The trace: appending samples to the ring, drawing the trace area `Oscillo`
// and the overview strip `Ctrl_Zoom` as display lists, and steering the
// visible window with the mouse, the time base, the quantity buttons and the
// channel ticks.
//
// Every operation that changes the picture or the cursor overlay notifies
// trace.view.changed once when it is done. A full repaint rebuilds both
// display lists and counts up view.repaintGeneration; between full repaints
// the newest segments are appended to view.trace.lines.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/ChannelTable.h"
#include "monitor/LivePanelModel.h"
#include "monitor/LiveValues.h"
#include "trace/TraceBuffer.h"
#include "trace/TraceModel.h"

namespace oxalis {

// The trace owns its samples (the ring), its picture and its window width.
// It reads the live values it records, the channel definitions it scales
// with, and the live panel's channel ticks (`ShowCanal`) that choose the
// channels it draws.
struct Trace {
  Trace(const LiveValues& live, ChannelTable& channels, LivePanelModel& panel)
      : live(live), channels(channels), panel(panel) {}
  Trace(const Trace&) = delete;
  Trace& operator=(const Trace&) = delete;

  const LiveValues& live;
  ChannelTable& channels;  // ShowCanal keeps its tick in Show
  LivePanelModel& panel;

  TraceBuffer buffer;
  TraceModel view;
  std::int32_t tracePoints = 1000;  // samples across the trace window (50 per second)

  // Measuring: built-in quantities ticked beside the chosen one, scales
  // fitted to the screen (0..4 built-in, 5..9 user channels), cursor B
  // (-1: none) and whether the keys move B rather than A.
  std::array<bool, 5> overlay{};
  std::array<bool, 10> fitted{};
  std::int32_t cursorB = -1;
  bool cursorBActive = false;
  // Cursor A follows the pointer over the trace; during a replay it marks
  // the sample played and moves only when clicked, dragged or stepped.
  bool cursorFollowsPointer = true;
};

// Colours of the picture (0x00BBGGRR). The trace area and the time axis
// under it are drawn on black, the strip on a light background.
inline constexpr std::uint32_t kTraceGridColor = 0x404040;
inline constexpr std::uint32_t kOverviewBoxColor = 0x0F0F0F;  // filled box on the strip
inline constexpr std::uint32_t kCursorColor = 0xF0F0F0;       // dotted line drawn by the window
inline constexpr std::uint32_t kValueLabelColor = 0xC0C0C0;   // value grid labels on the trace area
inline constexpr std::uint32_t kTimeLabelColor = 0xC0C0C0;    // times, ticks and unit on the time axis

// The time axis: the unit written at its right end, the length of the tick
// under each grid line, and where its texts begin (pixels from its top).
inline constexpr std::string_view kTimeUnit = "s";
inline constexpr int kTimeAxisTick = 3;
inline constexpr int kTimeAxisTextTop = 4;

// --- Coordinates -----------------------------------------------------------

// The one coordinate rule: v in lo..hi onto pixels pLo..pHi, taken to the
// integer below and limited to -32768..32767. A zero range is widened to
// lo..lo+1.
int mapLinear(double v, double lo, double hi, int pLo, int pHi);

// --- Ring ------------------------------------------------------------------

// Start-up: counters 0, ring not wrapped, window 0..tracePoints (1000 when
// tracePoints is not positive), richness selected, full repaint.
void initialiseTrace(Trace& trace);

// The window laid the trace area and the strip out anew (sizes in pixels):
// overview box, full repaint, and every live panel cell repainted on the
// next refresh tick.
void traceResized(Trace& trace, int traceWidth, int traceHeight, int stripWidth, int stripHeight);

// Copies trace.live into the slot of the newest sample (the caller has
// already counted it in sampleCount), moves the window on a page when the
// newest sample has passed its end (unless the recording is paused), and
// updates the cursor values.
void appendSample(Trace& trace, bool paused);

// One measurement while recording: counts it, appends it and, unless
// paused, draws its segment from the previous sample.
void recordSample(Trace& trace, bool paused);

// Zeroes the slots of sample numbers from..to (each taken mod 65000).
void clearTraceSlots(Trace& trace, std::int32_t from, std::int32_t to);

// Status-bar panel 6: "Data memory used : N%".
std::string memoryText(const TraceBuffer& buffer);

// Puts a ring's worth of samples read from a file into the buffer (the
// vector is taken over; sample n of the file sits in slot n mod 65000) and
// places the window from the oldest kept sample to the newest, as a
// recording of `count` samples would have left it. Redrawing is the
// caller's.
void loadSamples(TraceBuffer& buffer, std::vector<TraceSample>&& ring, std::int32_t count);

// --- Drawing ---------------------------------------------------------------

// Appends the lines of every drawn curve from sample `from` to sample `to`.
void drawSegment(Trace& trace, std::int32_t from, std::int32_t to);

// Rebuilds the data part of the trace (the grid stays) and the cursor. Each
// pixel column shows the full span of the samples it covers, joined to the
// next column, so no excursion is lost when the window holds more samples
// than pixels.
void redrawData(Trace& trace);

// Where the window lies within the ring, on the strip.
void updateOverviewBox(Trace& trace);

// Clears and rebuilds the pictures: overview box, time grid with its
// labels on the time axis, value grid of the selected quantity with its name
// and unit, data, cursor; and names the span on screen for the time-base
// box.
void repaintTrace(Trace& trace);

// --- Cursor ----------------------------------------------------------------

// The sample under a mouse x of the trace area.
std::int32_t sampleUnderMouse(const Trace& trace, int x);

// The cursor overlay at cursorSample: traceView.cursorX, the seconds in
// WCuseur, and the value boxes.
void drawCursor(Trace& trace);
// ValCurseur 0-9 from the sample under the cursor.
void showCursorValues(Trace& trace);

// --- Mouse, time base and channel choice -------------------------------------

// Left button: cursor and drag anchor; right button: cursor and zoom start.
void Oscillo_MouseDown(Trace& trace, int x, bool rightButton);
// Moves the cursor; with the left button held, drags the window along the
// ring.
void Oscillo_MouseMove(Trace& trace, int x, bool leftHeld);
// Ends a drag; the right button zooms in on the dragged range (more than 25
// samples), with the cursor under the mouse in the new window, or zooms out
// 2.2 times around a click.
void Oscillo_MouseUp(Trace& trace, int x, bool rightButton);

// The overview strip `Ctrl_Zoom` moves the window along the ring, its width
// kept. Pressing the left button on the overview box takes hold of it;
// pressing beside it centres the window on that place. Moving with the
// button held drags the box; releasing lets go.
void Ctrl_Zoom_MouseDown(Trace& trace, int x);
void Ctrl_Zoom_MouseMove(Trace& trace, int x, bool leftHeld);
void Ctrl_Zoom_MouseUp(Trace& trace);
// The sample at x on the overview strip (the strip spans a whole ring from
// the oldest sample held, so it may lie past the newest).
std::int64_t sampleUnderStrip(const Trace& trace, int x);

// Window width in samples of a time-base entry ("5s" .. "500s").
std::optional<std::int32_t> timeBaseSamples(std::string_view text);
// An entry chosen from the list: the window takes the new width from its
// start, moved back should it reach more than a tenth of the width past the
// newest sample (where a page jump would leave it), but not before the
// oldest sample held. So a wider time base shows more of the recording
// rather than empty time after it.
void TimeBase_Click(Trace& trace, std::string_view entry);
// Typed text confirmed: an entry that is not the span on screen is applied
// as if chosen, so that the box names what is shown; other text keeps the
// width in effect and its entry.
void TimeBase_Validate(Trace& trace, std::string_view typedText);
// Built-in quantity drawn: 0 vOutMv, 1 richness, 2 lambda, 3 o2, 4 airFuel.
void OptionChOscillo_Click(Trace& trace, int index);
// User channel k (0..4) drawn or not; kept in Show of channel slot k+1.
void ShowCanal_Click(Trace& trace, int k, bool checked);

}  // namespace oxalis
