#pragma once
// The trace: appending samples to the ring, drawing the trace area `Oscillo`
// and the overview strip `Ctrl_Zoom` as display lists, and steering the
// visible window with the mouse, the time base, the quantity buttons and the
// channel ticks.
//
// Every operation that changes the picture or the cursor overlay notifies
// core.traceView.changed once when it is done. A full repaint rebuilds both
// display lists and counts up traceView.repaintGeneration; between full
// repaints the newest segments are appended to traceView.trace.lines.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "trace/TraceBuffer.h"

namespace oxalis {

class Core;

// Colours of the picture (0x00BBGGRR). The trace area is drawn on black,
// the strip on a light background.
inline constexpr std::uint32_t kTraceGridColor = 0x404040;
inline constexpr std::uint32_t kOverviewBoxColor = 0x0F0F0F;     // filled box on the strip
inline constexpr std::uint32_t kCursorColor = 0xF0F0F0;          // dotted line drawn by the window
inline constexpr std::uint32_t kValueLabelColor = 0xC0C0C0;      // value grid labels on the trace area
inline constexpr std::uint32_t kTimeLabelColor = 0x000000;       // time labels on the strip
inline constexpr std::uint32_t kTimeLabelOnBoxColor = 0xF0F0F0;  // time labels over the overview box

// --- Coordinates -----------------------------------------------------------

// The one coordinate rule: v in lo..hi onto pixels pLo..pHi, taken to the
// integer below and limited to -32768..32767. A zero range is widened to
// lo..lo+1.
int mapLinear(double v, double lo, double hi, int pLo, int pHi);

// --- Ring ------------------------------------------------------------------

// Start-up: counters 0, ring not wrapped, window 0..tracePoints (1000 when
// tracePoints is not positive), richness selected, full repaint.
void initialiseTrace(Core& core);

// The window laid the trace area and the strip out anew (sizes in pixels):
// overview box, full repaint, and every live panel cell repainted on the
// next refresh tick.
void traceResized(Core& core, int traceWidth, int traceHeight, int stripWidth, int stripHeight);

// Copies core.live into the slot of the newest sample (the caller has
// already counted it in sampleCount), moves the window on a page when the
// newest sample has passed its end (unless paused), and updates the memory
// text and the cursor values.
void appendSample(Core& core);

// One measurement while recording: counts it, appends it and, unless
// paused, draws its segment from the previous sample.
void recordSample(Core& core);

// Hands recordSample to the receive parser (core.hooks.appendTraceSample).
void installTrace(Core& core);

// Zeroes the slots of sample numbers from..to (each taken mod 65000).
void clearTraceSlots(Core& core, std::int32_t from, std::int32_t to);

// Status-bar panel 6: "Data memory used : N%".
std::string memoryText(const TraceBuffer& trace);
// Puts memoryText into panel 6; the main window is told only of a change.
void updateMemoryText(Core& core);

// --- Drawing ---------------------------------------------------------------

// Appends the lines of every drawn curve from sample `from` to sample `to`.
void drawSegment(Core& core, std::int32_t from, std::int32_t to);

// Rebuilds the data part of the trace (the grid stays) and the cursor. Each
// pixel column shows the full span of the samples it covers, joined to the
// next column, so no excursion is lost when the window holds more samples
// than pixels.
void redrawData(Core& core);

// Where the window lies within the ring, on the strip.
void updateOverviewBox(Core& core);

// Clears and rebuilds both pictures: overview box, time grid with its
// labels, value grid of the selected quantity, data, cursor.
void repaintTrace(Core& core);

// --- Cursor ----------------------------------------------------------------

// The sample under a mouse x of the trace area.
std::int32_t sampleUnderMouse(const Core& core, int x);

// The cursor overlay at cursorSample: traceView.cursorX, the seconds in
// WCuseur, and the value boxes.
void drawCursor(Core& core);
// ValCurseur 0-9 from the sample under the cursor.
void showCursorValues(Core& core);

// --- Mouse, time base and channel choice -------------------------------------

// Left button: cursor and drag anchor; right button: cursor and zoom start.
void Oscillo_MouseDown(Core& core, int x, bool rightButton);
// Moves the cursor; with the left button held, drags the window along the
// ring.
void Oscillo_MouseMove(Core& core, int x, bool leftHeld);
// Ends a drag; the right button zooms in on the dragged range (more than 25
// samples) or zooms out 2.2 times around a click.
void Oscillo_MouseUp(Core& core, int x, bool rightButton);

// Window width in samples of a time-base entry ("5s" .. "500s").
std::optional<std::int32_t> timeBaseSamples(std::string_view text);
// An entry chosen from the list: the window end moves to the new width.
void TimeBase_Click(Core& core, std::string_view entry);
// Typed text confirmed: an entry sets the width, which takes effect at the
// next page jump or pan; other text keeps the width in effect and its entry.
void TimeBase_Validate(Core& core, std::string_view typedText);
// Built-in quantity drawn: 0 vOutMv, 1 richness, 2 lambda, 3 o2, 4 airFuel.
void OptionChOscillo_Click(Core& core, int index);
// User channel k (0..4) drawn or not; kept in Show of channel slot k+1.
void ShowCanal_Click(Core& core, int k, bool checked);

}  // namespace oxalis
