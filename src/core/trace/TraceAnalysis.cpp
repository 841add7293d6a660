#include "trace/TraceAnalysis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "trace/TraceInternal.h"
#include "util/NumberFormat.h"
#include "util/TextEncoding.h"

namespace oxalis {

namespace {

using trace_internal::oldestKept;
using trace_internal::slotOf;
using trace_internal::toSample;

// The channel slot that defines each built-in quantity (Vout, richness,
// lambda, O2, A/F), and how the trace names them on a lambda controller.
constexpr std::array<int, 5> kBuiltInSlots{6, 7, 9, 8, 10};
constexpr std::array<std::string_view, 5> kLambdaNames{"Vout", "Richness", "Lambda", "O2", "A/F"};

// Colours (0x00BBGGRR) of built-in quantities overlaid on the chosen one
// when they share its colour: Vout violet, richness white, lambda light
// green, O2 light cyan, A/F pink.
constexpr std::array<std::uint32_t, 5> kOverlayColors{0xFF8080, 0xFFFFFF, 0x80FF80, 0xFFFF80, 0xC080FF};

// A wheel notch narrows or widens the window by this factor.
constexpr double kWheelFactor = 1.25;
constexpr std::int64_t kNarrowestWindow = 10;

// A module type that sends its own quantities in the built-in fields names
// them itself.
bool renamedByModule(const Trace& trace, int quantity) {
  const auto q = static_cast<std::size_t>(quantity);
  return quantity < 5 && trace.panel.traceChoiceNames[q] != kLambdaNames[q];
}

bool sent(const Trace& trace, int quantity) {
  return quantity < 5 ? trace.panel.traceChoiceVisible[static_cast<std::size_t>(quantity)]
                      : trace.panel.showCanal[static_cast<std::size_t>(quantity - 5)];
}

double physical(std::int64_t stored, int decimals) { return static_cast<double>(stored) / std::pow(10.0, decimals); }

std::string number(double value, int decimals) {
  return FormatPlainNumber(std::nearbyint(value * std::pow(10.0, decimals)) / std::pow(10.0, decimals));
}

void repaintAndTell(Trace& trace) {
  updateOverviewBox(trace);
  trace_internal::repaint(trace);
  trace.view.changed.notify();
}

// The window from start to end, kept within what the ring holds.
void showSpan(Trace& trace, std::int64_t start, std::int64_t end) {
  TraceBuffer& buffer = trace.buffer;
  const std::int64_t oldest = oldestKept(buffer);
  const std::int64_t newest = std::max<std::int64_t>(buffer.sampleCount - 1, oldest + 1);
  const std::int64_t width = std::clamp<std::int64_t>(end - start, kNarrowestWindow, TraceBuffer::kRingSize);
  start = std::clamp(start, oldest, std::max(oldest, newest - width));
  buffer.viewStart = toSample(start);
  buffer.viewEnd = toSample(start + width);
}

}  // namespace

std::int32_t clampToHeld(const TraceBuffer& buffer, std::int64_t sample) {
  const std::int64_t oldest = oldestKept(buffer);
  return toSample(std::clamp<std::int64_t>(sample, oldest, std::max<std::int64_t>(oldest, buffer.sampleCount - 1)));
}

void moveCursorATo(Trace& trace, std::int64_t sample) {
  TraceBuffer& buffer = trace.buffer;
  buffer.cursorSample = clampToHeld(buffer, sample);
  if (buffer.cursorSample < buffer.viewStart || buffer.cursorSample >= buffer.viewEnd) {
    // A page on, as a recording pages, with a tenth of the width before
    // the cursor so that the way it came stays in sight.
    const std::int64_t width = std::int64_t{buffer.viewEnd} - buffer.viewStart;
    showSpan(trace, buffer.cursorSample - width / 10, buffer.cursorSample - width / 10 + width);
    repaintAndTell(trace);
    return;
  }
  trace_internal::placeCursor(trace);
  trace.view.changed.notify();
}

std::int32_t storedValue(const TraceSample& sample, int quantity) {
  switch (quantity) {
    case 0: return sample.vOutMv;
    case 1: return sample.richness;
    case 2: return sample.lambda;
    case 3: return sample.o2;
    case 4: return sample.airFuel;
    default: return sample.channel[static_cast<std::size_t>(std::clamp(quantity - 5, 0, 4))];
  }
}

int quantityDecimals(const Trace& trace, int quantity) { return quantitySlot(trace, quantity).Dec; }

const ChannelDefinition& quantitySlot(const Trace& trace, int quantity) {
  return trace.channels.slot(quantity < 5 ? kBuiltInSlots[static_cast<std::size_t>(quantity)] : quantity - 4);
}

std::string quantityName(const Trace& trace, int quantity) {
  if (renamedByModule(trace, quantity))
    return DegreeSignForScreen(trace.panel.traceChoiceNames[static_cast<std::size_t>(quantity)]);
  return DegreeSignForScreen(quantitySlot(trace, quantity).Name);
}

std::string quantityUnit(const Trace& trace, int quantity) {
  return DegreeSignForScreen(quantitySlot(trace, quantity).Unit);
}

std::string quantityCaption(const Trace& trace, int quantity) {
  std::string caption = quantityName(trace, quantity);
  if (const std::string unit = quantityUnit(trace, quantity); !renamedByModule(trace, quantity) && !unit.empty())
    caption += " (" + unit + ")";
  return caption;
}

std::uint32_t curveColor(const Trace& trace, int quantity) {
  const std::uint32_t colour = quantitySlot(trace, quantity).Color;
  const int chosen = trace.buffer.selectedQuantity;
  // A built-in quantity drawn beside the chosen one, in the same colour,
  // takes a colour of its own so that the two can be told apart.
  if (quantity < 5 && quantity != chosen && chosen >= 0 && chosen < 5 &&
      (colour & 0xFFFFFF) == (quantitySlot(trace, chosen).Color & 0xFFFFFF))
    return kOverlayColors[static_cast<std::size_t>(quantity)];
  return colour;
}

std::uint32_t quantityColor(const Trace& trace, int quantity) {
  // Black would not be seen on the black trace area.
  const std::uint32_t colour = curveColor(trace, quantity);
  return (colour & 0xFFFFFF) != 0 ? colour : kValueLabelColor;
}

std::vector<int> drawnQuantities(const Trace& trace) {
  std::vector<int> drawn;
  const int chosen = trace.buffer.selectedQuantity;
  if (chosen >= 0 && chosen < 5 && sent(trace, chosen)) drawn.push_back(chosen);
  for (int q = 0; q < 5; ++q)
    if (q != chosen && trace.overlay[static_cast<std::size_t>(q)] && sent(trace, q)) drawn.push_back(q);
  for (int q = 5; q < kTraceQuantities; ++q)
    if (sent(trace, q)) drawn.push_back(q);
  return drawn;
}

int activeQuantity(const Trace& trace) {
  // User channels alone keep the plain grid they have always had.
  const std::vector<int> drawn = drawnQuantities(trace);
  return !drawn.empty() && drawn.front() < 5 ? drawn.front() : -1;
}

namespace {

struct Accumulated {
  std::int64_t sum = 0;
  std::int32_t lo = std::numeric_limits<std::int32_t>::max();
  std::int32_t hi = std::numeric_limits<std::int32_t>::min();
};

// One field over the slots first..last of the ring, split where the ring
// wraps, so that the loops read the field straight from memory.
template <typename Read>
Accumulated accumulate(const TraceBuffer& buffer, std::int64_t first, std::int64_t last, Read read) {
  Accumulated a;
  std::int64_t remaining = last - first + 1;
  std::size_t slot = slotOf(first);
  while (remaining > 0) {
    const auto run = std::min<std::int64_t>(remaining, static_cast<std::int64_t>(buffer.traceRing.size() - slot));
    const TraceSample* sample = buffer.traceRing.data() + slot;
    for (std::int64_t i = 0; i < run; ++i) {
      const std::int32_t v = read(sample[i]);
      a.sum += v;
      a.lo = std::min(a.lo, v);
      a.hi = std::max(a.hi, v);
    }
    remaining -= run;
    slot = 0;
  }
  return a;
}

Accumulated accumulateQuantity(const TraceBuffer& buffer, int quantity, std::int64_t first, std::int64_t last) {
  switch (quantity) {
    case 0: return accumulate(buffer, first, last, [](const TraceSample& s) -> std::int32_t { return s.vOutMv; });
    case 1: return accumulate(buffer, first, last, [](const TraceSample& s) -> std::int32_t { return s.richness; });
    case 2: return accumulate(buffer, first, last, [](const TraceSample& s) { return s.lambda; });
    case 3: return accumulate(buffer, first, last, [](const TraceSample& s) { return s.o2; });
    case 4: return accumulate(buffer, first, last, [](const TraceSample& s) { return s.airFuel; });
    default: {
      const auto k = static_cast<std::size_t>(std::clamp(quantity - 5, 0, 4));
      return accumulate(buffer, first, last, [k](const TraceSample& s) { return s.channel[k]; });
    }
  }
}

}  // namespace

ValueScale quantityScale(const Trace& trace, int quantity) {
  const TraceBuffer& buffer = trace.buffer;
  const std::int64_t first = std::max<std::int64_t>(buffer.viewStart, oldestKept(buffer));
  const std::int64_t last = std::min<std::int64_t>(buffer.viewEnd, std::int64_t{buffer.sampleCount} - 1);
  if (trace.fitted[static_cast<std::size_t>(quantity)] && last >= first) {
    const Accumulated a = accumulateQuantity(buffer, quantity, first, last);
    const std::int32_t lo = a.lo;
    const std::int32_t hi = a.hi;
    // A little room above and below, and never a zero height.
    const double margin = std::max(1.0, std::ceil((static_cast<double>(hi) - lo) / 20));
    return {lo - margin, hi + margin};
  }
  const ChannelDefinition& slot = quantitySlot(trace, quantity);
  const double unit = quantity < 5 ? 1.0 : std::pow(10.0, slot.Dec);
  const auto end = [](double v) { return std::isnan(v) ? 0.0 : std::clamp(std::nearbyint(v), -1e15, 1e15); };
  return {end(slot.Min * unit), end(slot.Max * unit)};
}

SpanStats spanStats(const TraceBuffer& buffer, int quantity, int decimals, std::int32_t from, std::int32_t to) {
  const std::int64_t first = std::min(from, to);
  const std::int64_t last = std::max(from, to);
  const Accumulated a = accumulateQuantity(buffer, quantity, first, last);
  const double count = static_cast<double>(last - first + 1);
  return {physical(storedValue(buffer.at(from), quantity), decimals),
          physical(storedValue(buffer.at(to), quantity), decimals), physical(a.lo, decimals), physical(a.hi, decimals),
          static_cast<double>(a.sum) / count / std::pow(10.0, decimals)};
}

namespace trace_internal {

// Cursor B, the legend and the readout, after every placing of cursor A.
void fillAnalysis(Trace& trace) {
  TraceModel& view = trace.view;
  const TraceBuffer& buffer = trace.buffer;
  const std::vector<int> drawn = drawnQuantities(trace);
  view.legend.clear();
  view.readout.clear();
  view.readoutTime.clear();
  view.cursorBX = -1;
  const bool hasB = trace.cursorB >= 0;
  if (hasB) {
    const int x = timeToX(trace, trace.cursorB);
    if (view.traceWidth > 0 && x >= 0 && x <= view.traceWidth) view.cursorBX = x;
  }
  // The legend names every curve once more than one is drawn, or once the
  // cursors measure.
  if (drawn.size() < 2 && !hasB) return;
  const int active = activeQuantity(trace);
  const bool aHeld = buffer.cursorSample >= oldestKept(buffer) && buffer.cursorSample < buffer.sampleCount;
  for (int q : drawn) {
    const int decimals = quantityDecimals(trace, q);
    std::string text = quantityName(trace, q);
    if (const std::string unit = quantityUnit(trace, q); !unit.empty()) text += " (" + unit + ")";
    if (q != active) {
      const ValueScale scale = quantityScale(trace, q);
      text += " " + number(physical(static_cast<std::int64_t>(scale.lo), decimals), decimals) + ".." +
              number(physical(static_cast<std::int64_t>(scale.hi), decimals), decimals);
    }
    if (aHeld) text += ": " + number(physical(storedValue(buffer.at(buffer.cursorSample), q), decimals), decimals);
    view.legend.push_back({std::move(text), quantityColor(trace, q)});
  }
  const bool bHeld = hasB && trace.cursorB >= oldestKept(buffer) && trace.cursorB < buffer.sampleCount;
  if (!aHeld || !bHeld) return;
  for (int q : drawn) {
    const int decimals = quantityDecimals(trace, q);
    const SpanStats s = spanStats(buffer, q, decimals, buffer.cursorSample, trace.cursorB);
    view.readout.push_back({quantityName(trace, q), quantityUnit(trace, q), number(s.atFrom, decimals),
                            number(s.atTo, decimals), number(s.atTo - s.atFrom, decimals), number(s.min, decimals),
                            number(s.max, decimals), number(s.mean, decimals + 1), quantityColor(trace, q)});
  }
  view.readoutTime = FormatPlainNumber(static_cast<double>(std::int64_t{trace.cursorB} - buffer.cursorSample) /
                                       TraceBuffer::kSamplesPerSecond);
}

}  // namespace trace_internal

void overlayQuantity(Trace& trace, int quantity, bool ticked) {
  if (quantity < 0 || quantity >= 5) return;
  trace.overlay[static_cast<std::size_t>(quantity)] = ticked;
  repaintAndTell(trace);
}

void fitQuantity(Trace& trace, int quantity, bool fitted) {
  if (quantity < 0 || quantity >= kTraceQuantities) return;
  trace.fitted[static_cast<std::size_t>(quantity)] = fitted;
  repaintAndTell(trace);
}

void toggleActiveFit(Trace& trace) {
  const int active = activeQuantity(trace);
  if (active >= 0) return fitQuantity(trace, active, !trace.fitted[static_cast<std::size_t>(active)]);
  // Channels alone: all of them together.
  const std::vector<int> drawn = drawnQuantities(trace);
  const bool fit = std::none_of(drawn.begin(), drawn.end(), [&](int q) { return trace.fitted[static_cast<std::size_t>(q)]; });
  for (int q : drawn) trace.fitted[static_cast<std::size_t>(q)] = fit;
  repaintAndTell(trace);
}

void fitAll(Trace& trace) {
  const TraceBuffer& buffer = trace.buffer;
  showSpan(trace, oldestKept(buffer), std::max<std::int64_t>(buffer.sampleCount - 1, oldestKept(buffer) + 1));
  repaintAndTell(trace);
}

void jumpToStart(Trace& trace) {
  const TraceBuffer& buffer = trace.buffer;
  const std::int64_t width = std::int64_t{buffer.viewEnd} - buffer.viewStart;
  showSpan(trace, oldestKept(buffer), oldestKept(buffer) + width);
  repaintAndTell(trace);
}

void jumpToEnd(Trace& trace) {
  const TraceBuffer& buffer = trace.buffer;
  const std::int64_t width = std::int64_t{buffer.viewEnd} - buffer.viewStart;
  const std::int64_t newest = std::max<std::int64_t>(buffer.sampleCount - 1, 0);
  showSpan(trace, newest - width, newest);
  repaintAndTell(trace);
}

void wheelZoom(Trace& trace, int x, int steps) {
  if (steps == 0) return;
  const TraceBuffer& buffer = trace.buffer;
  const std::int64_t under = sampleUnderMouse(trace, x);
  const double width = static_cast<double>(std::int64_t{buffer.viewEnd} - buffer.viewStart);
  const double newWidth = std::clamp(width * std::pow(kWheelFactor, -steps), static_cast<double>(kNarrowestWindow),
                                     static_cast<double>(TraceBuffer::kRingSize));
  const double share = trace.view.traceWidth > 0 ? std::clamp(static_cast<double>(x) / trace.view.traceWidth, 0.0, 1.0) : 0.5;
  const auto start = static_cast<std::int64_t>(std::llround(static_cast<double>(under) - share * newWidth));
  showSpan(trace, start, start + static_cast<std::int64_t>(std::llround(newWidth)));
  repaintAndTell(trace);
}

void placeCursorB(Trace& trace, int x) {
  trace.cursorB = clampToHeld(trace.buffer, sampleUnderMouse(trace, x));
  trace.cursorBActive = true;
  trace_internal::placeCursor(trace);
  trace.view.changed.notify();
}

void clearCursorB(Trace& trace) {
  trace.cursorB = -1;
  trace.cursorBActive = false;
  trace_internal::placeCursor(trace);
  trace.view.changed.notify();
}

bool cursorBNearer(const Trace& trace, int x) {
  if (trace.cursorB < 0 || trace.view.cursorBX < 0) return false;
  return trace.view.cursorX < 0 || std::abs(x - trace.view.cursorBX) < std::abs(x - trace.view.cursorX);
}

void moveActiveCursorTo(Trace& trace, int x) {
  const std::int32_t sample = clampToHeld(trace.buffer, sampleUnderMouse(trace, x));
  (trace.cursorBActive ? trace.cursorB : trace.buffer.cursorSample) = sample;
  trace_internal::placeCursor(trace);
  trace.view.changed.notify();
}

std::int32_t divisionSamples(const Trace& trace) {
  // The time grid's step: 50 samples, doubled as the grid does for a wide window.
  const std::int64_t span = std::int64_t{trace.buffer.viewEnd} - trace.buffer.viewStart;
  std::int64_t step = TraceBuffer::kSamplesPerSecond;
  while (step * 20 < span) step *= 2;
  return toSample(step);
}

void stepActiveCursor(Trace& trace, int samples) {
  std::int32_t& cursor = trace.cursorBActive && trace.cursorB >= 0 ? trace.cursorB : trace.buffer.cursorSample;
  cursor = clampToHeld(trace.buffer, std::int64_t{cursor} + samples);
  // The window follows a cursor stepped out of it.
  TraceBuffer& buffer = trace.buffer;
  const std::int64_t width = std::int64_t{buffer.viewEnd} - buffer.viewStart;
  if (cursor < buffer.viewStart || cursor > buffer.viewEnd) {
    showSpan(trace, cursor - width / 2, cursor - width / 2 + width);
    repaintAndTell(trace);
    return;
  }
  trace_internal::placeCursor(trace);
  trace.view.changed.notify();
}

std::string readoutText(const Trace& trace) {
  const TraceModel& view = trace.view;
  if (view.readout.empty()) return {};
  std::string text = "Quantity\tUnit\tA\tB\tB-A\tMin\tMax\tMean\r\n";
  for (const TraceModel::ReadoutRow& row : view.readout)
    text += row.name + "\t" + row.unit + "\t" + row.a + "\t" + row.b + "\t" + row.delta + "\t" + row.min + "\t" +
            row.max + "\t" + row.mean + "\r\n";
  text += "Time B-A (s)\t\t\t\t" + view.readoutTime + "\r\n";
  return text;
}

}  // namespace oxalis
