#pragma once
// The trace as a measuring tool: any mix of the ten quantities on screen,
// each on its own scale or fitted to what is shown, the whole recording at
// a key, zoom on the wheel, and two cursors A and B with the values, the
// difference, and the minimum, maximum and mean between them.
//
// The ten quantities: 0..4 the built-in ones in the order of the quantity
// buttons (Vout, richness, lambda, O2, A/F), 5..9 the user channels 1..5.
// With nothing ticked beyond the quantity buttons and the channel ticks,
// no scale fitted and no cursor B, the trace draws as it always has.
#include <cstdint>
#include <string>
#include <vector>

#include "trace/Trace.h"

namespace oxalis {

inline constexpr int kTraceQuantities = 10;

// A quantity's stored value in a sample (richness in thousandths, a user
// channel in 10^-Dec of its unit, ...).
std::int32_t storedValue(const TraceSample& sample, int quantity);
// The channel slot that defines it (scale, decimals, name, unit, colour).
const ChannelDefinition& quantitySlot(const Trace& trace, int quantity);
// Its decimals (stored value / 10^decimals is the physical value), name as
// the trace names it, unit and colour.
int quantityDecimals(const Trace& trace, int quantity);
std::string quantityName(const Trace& trace, int quantity);
std::string quantityUnit(const Trace& trace, int quantity);
// The caption of its value scale: its name and unit, or only the name a
// module type gives the built-in field it sends its own quantity in.
std::string quantityCaption(const Trace& trace, int quantity);
std::uint32_t quantityColor(const Trace& trace, int quantity);
// The colour its curve is drawn in: its channel's, except for a built-in
// quantity overlaid in the chosen one's colour, which gets one of its own.
std::uint32_t curveColor(const Trace& trace, int quantity);

// The quantities drawn, in drawing order: the chosen built-in one, the
// other ticked built-in ones, the ticked user channels. Only those the
// module type sends.
std::vector<int> drawnQuantities(const Trace& trace);
// The quantity whose scale is labelled on the left: the chosen built-in one
// when drawn, otherwise the first ticked built-in one; -1 otherwise (user
// channels alone keep the unlabelled grid).
int activeQuantity(const Trace& trace);
// The bottom and top of a quantity's scale, in stored units: its channel's
// range, or when fitted the smallest and largest value on screen (a flat
// curve gets one unit either side, so the scale never has zero height).
struct ValueScale {
  double lo = 0;
  double hi = 0;
};
ValueScale quantityScale(const Trace& trace, int quantity);

// Statistics of one quantity over samples from..to (either order, both
// included, sample numbers the ring still holds), in physical units.
struct SpanStats {
  double atFrom = 0;
  double atTo = 0;
  double min = 0;
  double max = 0;
  double mean = 0;
};
SpanStats spanStats(const TraceBuffer& buffer, int quantity, int decimals, std::int32_t from, std::int32_t to);

// --- Operations (each notifies trace.view.changed) ---------------------------

// A built-in quantity (0..4) ticked to be drawn beside the chosen one.
void overlayQuantity(Trace& trace, int quantity, bool ticked);
// The quantity's scale fitted to the samples on screen, or back to its
// channel's range.
void fitQuantity(Trace& trace, int quantity, bool fitted);
// A double click on the value axis: the active quantity's scale toggles
// between fitted and its own range (with user channels alone, theirs).
void toggleActiveFit(Trace& trace);
// "Fit all": the window shows the whole recording the ring holds.
void fitAll(Trace& trace);
// Home and End: the window, its width kept, at the recording's start or end.
void jumpToStart(Trace& trace);
void jumpToEnd(Trace& trace);
// Mouse wheel over x: `steps` notches, positive zooming in, the sample under
// the pointer staying under it.
void wheelZoom(Trace& trace, int x, int steps);

// Cursor B at the sample under x (Shift + left button); dragging moves the
// cursor nearest the pointer, which becomes the active one.
void placeCursorB(Trace& trace, int x);
void clearCursorB(Trace& trace);
// Which cursor a press at x takes: B when it is shown and nearer than A.
bool cursorBNearer(const Trace& trace, int x);
void moveActiveCursorTo(Trace& trace, int x);
// The sample nearest `sample` that the ring holds.
std::int32_t clampToHeld(const TraceBuffer& buffer, std::int64_t sample);
// Cursor A at `sample`, kept within the recording. A cursor outside the
// window takes the window along a page, the cursor a tenth from its left.
void moveCursorATo(Trace& trace, std::int64_t sample);

// Arrow keys: the active cursor one sample (or one grid division) on.
void stepActiveCursor(Trace& trace, int samples);
std::int32_t divisionSamples(const Trace& trace);

// The readout between the cursors, as tab-separated text with a header
// line: quantity, unit, A, B, delta, min, max, mean; then the time
// between the cursors in seconds.
std::string readoutText(const Trace& trace);

}  // namespace oxalis
