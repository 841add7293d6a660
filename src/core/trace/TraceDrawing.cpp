// The trace area and the overview strip as display lists: grids, curves,
// the overview box and the cursor overlay.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "util/NumberFormat.h"
#include "trace/Trace.h"
#include "trace/TraceAnalysis.h"
#include "trace/TraceInternal.h"

namespace oxalis {

namespace {

using trace_internal::slotOf;
using trace_internal::timeToX;

enum class Field : std::uint8_t { VOut, Richness, Lambda, O2, AirFuel, Channel };

struct Curve {
  Field field = Field::Richness;
  std::size_t channel = 0;  // for Field::Channel
  double lo = 0;            // value on the bottom edge
  double hi = 0;            // value on the top edge
  std::uint32_t color = 0;
};

// The sample field of each built-in quantity, in the buttons' order.
constexpr std::array<Field, 5> kBuiltInFields{Field::VOut, Field::Richness, Field::Lambda, Field::O2, Field::AirFuel};

struct Curves {
  std::array<Curve, kTraceQuantities> items{};
  std::size_t count = 0;
  const Curve* begin() const { return items.data(); }
  const Curve* end() const { return items.data() + count; }
};

// The drawn quantities in drawing order, each on its scale.
Curves drawnCurves(const Trace& trace) {
  Curves curves;
  for (int q : drawnQuantities(trace)) {
    const ValueScale scale = quantityScale(trace, q);
    const bool builtIn = q < 5;
    curves.items[curves.count++] = {builtIn ? kBuiltInFields[static_cast<std::size_t>(q)] : Field::Channel,
                                    builtIn ? 0 : static_cast<std::size_t>(q - 5), scale.lo, scale.hi,
                                    curveColor(trace, q)};
  }
  return curves;
}

std::int32_t valueOf(const TraceSample& sample, const Curve& curve) {
  switch (curve.field) {
    case Field::VOut:
      return sample.vOutMv;
    case Field::Richness:
      return sample.richness;
    case Field::Lambda:
      return sample.lambda;
    case Field::O2:
      return sample.o2;
    case Field::AirFuel:
      return sample.airFuel;
    case Field::Channel:
      return sample.channel[curve.channel];
  }
  return 0;
}

bool hasArea(const TraceModel& view) { return view.traceWidth > 0 && view.traceHeight > 0; }

int valueToY(const TraceModel& view, const Curve& curve, std::int32_t value) {
  return trace_internal::mapLinear(value, curve.lo, curve.hi, view.traceHeight, 0);
}

int widthOf(const TraceModel& view, std::string_view text) { return view.textWidth ? view.textWidth(text) : 0; }

// A window that ends before it starts, or at 0, gets a width of one second.
// An empty window is treated the same, so that no step divides by zero.
void normaliseView(TraceBuffer& buffer) {
  if (buffer.viewEnd <= buffer.viewStart || buffer.viewEnd == 0)
    buffer.viewEnd = trace_internal::toSample(std::int64_t{buffer.viewStart} + TraceBuffer::kSamplesPerSecond);
}

// --- Data ------------------------------------------------------------------

// A run of consecutive samples that fall on one pixel column.
struct Column {
  int x;
  std::int64_t begin;
};

// Splits samples first..last into pixel columns. Time to x never decreases
// with the sample number, so each column's first sample is found from an
// estimate corrected against timeToX itself.
std::vector<Column> columnsOf(const Trace& trace, std::int64_t first, std::int64_t last) {
  const TraceBuffer& buffer = trace.buffer;
  const double span = static_cast<double>(std::int64_t{buffer.viewEnd} - buffer.viewStart);
  const double width = trace.view.traceWidth;
  std::vector<Column> columns;
  columns.reserve(static_cast<std::size_t>(std::min<std::int64_t>(last - first + 1, trace.view.traceWidth + 2)));
  std::int64_t i = first;
  while (i <= last) {
    const int x = timeToX(trace, i);
    columns.push_back({x, i});
    if (x >= std::numeric_limits<std::int16_t>::max()) break;
    const double estimate = std::ceil((x + 1.0) * span / width) + buffer.viewStart;
    std::int64_t next =
        static_cast<std::int64_t>(std::clamp(estimate, static_cast<double>(i + 1), static_cast<double>(last + 1)));
    while (next > i + 1 && timeToX(trace, next - 1) > x) --next;
    while (next <= last && timeToX(trace, next) <= x) ++next;
    i = next;
  }
  return columns;
}

// One curve over the columns: the vertical span of each column's samples,
// and a segment from each column's last sample to the next column's first.
// With one sample per column this is the plain sample-to-sample polyline.
template <typename Read>
void drawColumns(const Trace& trace, const std::vector<Column>& columns, std::int64_t last, const Curve& curve, Read read,
                 std::vector<DrawLine>& out) {
  const TraceModel& view = trace.view;
  const std::vector<TraceSample>& ring = trace.buffer.traceRing;
  // At most two lines per column, written in place and trimmed at the end.
  const std::size_t base = out.size();
  out.resize(base + 2 * columns.size());
  DrawLine* next = out.data() + base;
  bool joined = false;
  int previousX = 0;
  int previousY = 0;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const std::int64_t begin = columns[c].begin;
    const std::int64_t end = c + 1 < columns.size() ? columns[c + 1].begin : last + 1;
    std::size_t slot = slotOf(begin);
    const std::int32_t firstValue = read(ring[slot]);
    std::int32_t low = firstValue;
    std::int32_t high = firstValue;
    std::int32_t value = firstValue;
    for (std::int64_t i = begin + 1; i < end; ++i) {
      if (++slot == ring.size()) slot = 0;
      value = read(ring[slot]);
      low = std::min(low, value);
      high = std::max(high, value);
    }
    const int x = columns[c].x;
    const int firstY = valueToY(view, curve, firstValue);
    if (joined) *next++ = {previousX, previousY, x, firstY, curve.color, false};
    int bottom = firstY;
    int top = firstY;
    if (low != high) {
      bottom = low == firstValue ? firstY : valueToY(view, curve, low);
      top = high == firstValue ? firstY : valueToY(view, curve, high);
      if (bottom != top) *next++ = {x, bottom, x, top, curve.color, false};
    }
    previousX = x;
    previousY = value == firstValue ? firstY
                : value == low      ? bottom
                : value == high     ? top
                                    : valueToY(view, curve, value);
    joined = true;
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
}

void drawCurve(const Trace& trace, const std::vector<Column>& columns, std::int64_t last, const Curve& curve,
               std::vector<DrawLine>& out) {
  // One instance per field, so that the inner loop reads the field directly.
  switch (curve.field) {
    case Field::VOut:
      return drawColumns(
          trace, columns, last, curve, [](const TraceSample& s) -> std::int32_t { return s.vOutMv; }, out);
    case Field::Richness:
      return drawColumns(
          trace, columns, last, curve, [](const TraceSample& s) -> std::int32_t { return s.richness; }, out);
    case Field::Lambda:
      return drawColumns(
          trace, columns, last, curve, [](const TraceSample& s) { return s.lambda; }, out);
    case Field::O2:
      return drawColumns(
          trace, columns, last, curve, [](const TraceSample& s) { return s.o2; }, out);
    case Field::AirFuel:
      return drawColumns(
          trace, columns, last, curve, [](const TraceSample& s) { return s.airFuel; }, out);
    case Field::Channel: {
      const std::size_t k = curve.channel;
      return drawColumns(
          trace, columns, last, curve, [k](const TraceSample& s) { return s.channel[k]; }, out);
    }
  }
}

// The data of the window, up to the sample before the newest (the newest
// segment is drawn as it arrives), and never samples the ring no longer holds.
void drawData(Trace& trace) {
  const TraceBuffer& buffer = trace.buffer;
  TraceModel& view = trace.view;
  if (!hasArea(view) || buffer.sampleCount < 2) return;
  const std::int64_t newestDrawn = std::int64_t{buffer.sampleCount} - 2;
  const std::int64_t last = std::min<std::int64_t>(newestDrawn, buffer.viewEnd);
  const std::int64_t first = std::max<std::int64_t>(buffer.viewStart, trace_internal::oldestKept(buffer));
  if (last <= first) return;
  const Curves curves = drawnCurves(trace);
  if (curves.count == 0) return;
  const std::vector<Column> columns = columnsOf(trace, first, last);
  for (const Curve& curve : curves) drawCurve(trace, columns, last, curve, view.trace.lines);
}

// --- Grids -----------------------------------------------------------------

// Room left between two texts of an axis.
constexpr int kLabelGap = 6;

// The first multiple of step (positive) at or after value.
std::int64_t firstMultiple(std::int64_t value, std::int64_t step) {
  const std::int64_t quotient = value / step;
  return (quotient * step < value ? quotient + 1 : quotient) * step;
}

// Dotted vertical lines at whole multiples of a grid step of 50 samples,
// doubled until the labels (seconds) have room. Each line gets a tick and
// its time on the axis under the trace; the unit closes the axis on the
// right. A label near an end is moved inwards so it is read whole, and one
// that would then run into its neighbour or the unit is left out.
void drawTimeGrid(Trace& trace) {
  const TraceBuffer& buffer = trace.buffer;
  TraceModel& view = trace.view;
  const std::int64_t start = buffer.viewStart;
  const std::int64_t end = buffer.viewEnd;
  const std::int64_t span = end - start;  // positive: the view is normalised
  const double labelRoom = view.traceWidth;
  const int endTextWidth = widthOf(view, std::to_string(end));
  std::int64_t step = TraceBuffer::kSamplesPerSecond;
  // Also at most one line per pixel; the step stops doubling once it covers
  // the whole window.
  while (step < span && (labelRoom * static_cast<double>(step) / static_cast<double>(span) < endTextWidth ||
                         span / step > view.traceWidth))
    step *= 2;

  const int unitWidth = widthOf(view, kTimeUnit);
  const int unitLeft = std::max(view.traceWidth - unitWidth, 0);
  view.axis.texts.push_back({unitLeft, kTimeAxisTextTop, std::string(kTimeUnit), kTimeLabelColor});
  const int labelsEnd = unitLeft - kLabelGap;  // labels stay left of the unit
  int previousRight = std::numeric_limits<int>::min() / 2;
  // Only the lines within the window: one before it would put its label
  // on the left edge, where it would name the wrong place.
  for (std::int64_t gridSample = firstMultiple(start, step); gridSample <= end; gridSample += step) {
    const int px = timeToX(trace, gridSample);
    view.trace.lines.push_back({px, 0, px, view.traceHeight, kTraceGridColor, true});
    view.axis.lines.push_back({px, 0, px, kTimeAxisTick, kTimeLabelColor, false});
    std::string label = std::to_string(gridSample / TraceBuffer::kSamplesPerSecond);
    const int width = widthOf(view, label);
    const int left = std::clamp(px - width / 2, 0, std::max(labelsEnd - width, 0));
    if (left < previousRight + kLabelGap || left + width > labelsEnd) continue;
    previousRight = left + width;
    view.axis.texts.push_back({left, kTimeAxisTextTop, std::move(label), kTimeLabelColor});
  }
}

// Dotted horizontal lines for the selected quantity, about ten over its
// range, labelled with its decimals; its name and unit at the top, beside
// the labels, in its colour.
void drawValueGrid(Trace& trace) {
  TraceModel& view = trace.view;
  double lo = 0;
  double hi = 1800;
  int decimals = 0;
  const int active = activeQuantity(trace);
  const ChannelDefinition* quantity = nullptr;
  if (active >= 0) {
    quantity = &quantitySlot(trace, active);
    const ValueScale scale = quantityScale(trace, active);
    lo = scale.lo;
    hi = scale.hi;
    decimals = quantity->Dec;
  }
  // A range of fewer than ten units still gets a line per unit.
  double step = std::trunc((hi - lo) / 10);
  if (step == 0) step = hi >= lo ? 1 : -1;
  // At most 21 lines follow from the step; the count is a second guard.
  int count = 0;
  int labelsRight = 0;
  for (double v = lo; (step > 0 ? v <= hi : v >= hi) && count < 64; v += step, ++count) {
    const int y = trace_internal::mapLinear(v, lo, hi, view.traceHeight, 0);
    view.trace.lines.push_back({0, y, view.traceWidth, y, kTraceGridColor, true});
    // Centred on its line, but kept inside the area so the labels of the
    // top and bottom lines stay whole.
    const int top = std::clamp(y - view.textHeight / 2, 0, std::max(view.traceHeight - view.textHeight, 0));
    std::string label = formatFixedValue(static_cast<std::int64_t>(v), false, decimals);
    labelsRight = std::max(labelsRight, widthOf(view, label));
    view.trace.texts.push_back({0, top, std::move(label), kValueLabelColor});
  }
  if (!quantity) return;
  std::string caption = quantityCaption(trace, active);
  if (caption.empty()) return;
  // A curve colour of black would not be seen on the black area.
  const std::uint32_t colour = (quantity->Color & 0xFFFFFF) != 0 ? quantity->Color : kValueLabelColor;
  view.trace.texts.push_back({labelsRight + kLabelGap, 0, std::move(caption), colour});
}

void placeOverviewBox(Trace& trace) {
  TraceBuffer& buffer = trace.buffer;
  const double base = static_cast<double>(trace_internal::oldestKept(buffer));
  const double width = std::max(trace.view.stripWidth, 0);
  const auto at = [&](std::int32_t sample) {
    const double px = std::nearbyint(width * (sample - base) / TraceBuffer::kRingSize);
    return static_cast<std::int16_t>(std::clamp(px, -32768.0, 32767.0));
  };
  buffer.overviewLeft = at(buffer.viewStart);
  buffer.overviewRight = at(buffer.viewEnd);
}

}  // namespace

// --- Shared pieces -----------------------------------------------------------

namespace trace_internal {

std::int32_t toSample(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

int timeToX(const Trace& trace, std::int64_t sampleNumber) {
  return trace_internal::mapLinear(static_cast<double>(sampleNumber), trace.buffer.viewStart, trace.buffer.viewEnd, 0,
                                   trace.view.traceWidth);
}

void appendSegment(Trace& trace, std::int32_t from, std::int32_t to) {
  const TraceBuffer& buffer = trace.buffer;
  TraceModel& view = trace.view;
  if (!hasArea(view)) return;
  // A segment wholly on one side of the window would not be seen.
  if ((from < buffer.viewStart && to < buffer.viewStart) || (from > buffer.viewEnd && to > buffer.viewEnd)) return;
  const int x1 = timeToX(trace, from);
  const int x2 = timeToX(trace, to);
  const TraceSample& a = buffer.at(from);
  const TraceSample& b = buffer.at(to);
  for (const Curve& curve : drawnCurves(trace))
    view.trace.lines.push_back({x1, valueToY(view, curve, valueOf(a, curve)), x2,
                                valueToY(view, curve, valueOf(b, curve)), curve.color, false});
}

void repaint(Trace& trace) {
  TraceModel& view = trace.view;
  view.trace.clear();
  view.axis.clear();
  view.strip.clear();
  view.gridLines = 0;
  ++view.repaintGeneration;
  normaliseView(trace.buffer);
  view.spanText = spanText(std::int64_t{trace.buffer.viewEnd} - trace.buffer.viewStart);
  placeOverviewBox(trace);
  if (hasArea(view)) {
    view.strip.boxes.push_back(
        {trace.buffer.overviewLeft, 0, trace.buffer.overviewRight, view.stripHeight, kOverviewBoxColor, true});
    drawTimeGrid(trace);
    drawValueGrid(trace);
    view.gridLines = view.trace.lines.size();
    drawData(trace);
  }
  placeCursor(trace);
}

}  // namespace trace_internal

// --- Operations --------------------------------------------------------------

int mapLinear(double v, double lo, double hi, int pLo, int pHi) {
  return trace_internal::mapLinear(v, lo, hi, pLo, pHi);
}

void drawSegment(Trace& trace, std::int32_t from, std::int32_t to) {
  const std::size_t before = trace.view.trace.lines.size();
  trace_internal::appendSegment(trace, from, to);
  if (trace.view.trace.lines.size() != before) trace.view.changed.notify();
}

void redrawData(Trace& trace) {
  TraceModel& view = trace.view;
  normaliseView(trace.buffer);
  view.spanText = trace_internal::spanText(std::int64_t{trace.buffer.viewEnd} - trace.buffer.viewStart);
  view.trace.lines.resize(std::min(view.gridLines, view.trace.lines.size()));
  ++view.repaintGeneration;
  drawData(trace);
  trace_internal::placeCursor(trace);
  view.changed.notify();
}

void updateOverviewBox(Trace& trace) { placeOverviewBox(trace); }

void repaintTrace(Trace& trace) {
  trace_internal::repaint(trace);
  trace.view.changed.notify();
}

}  // namespace oxalis
