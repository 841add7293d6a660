// Steering the trace: the cursor and its value boxes, dragging the window
// along the ring, zoom in and out with the right button, the time base and
// the choice of curves.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "config/ChannelLine.h"
#include "util/NumberFormat.h"
#include "trace/Trace.h"
#include "trace/TraceInternal.h"

namespace oxalis {

namespace {

using trace_internal::toSample;

// A right-button drag must cover more than this many samples to zoom in;
// a zoomed window is never narrower.
constexpr std::int64_t kZoomMinimum = 25;

constexpr std::array<std::pair<std::string_view, std::int32_t>, 7> kTimeBases{{
    {"5s", 250},
    {"10s", 500},
    {"20s", 1000},
    {"50s", 2500},
    {"100s", 5000},
    {"200s", 10000},
    {"500s", 25000},
}};

void setView(TraceBuffer& buffer, std::int64_t start, std::int64_t end) {
  buffer.viewStart = toSample(start);
  buffer.viewEnd = toSample(end);
}

void repaintView(Trace& trace) {
  updateOverviewBox(trace);
  trace_internal::repaint(trace);
}

// A window of the present width moved to `start`, kept within the samples
// the ring holds (within its 65000 slots until it has wrapped).
void moveWindow(TraceBuffer& buffer, std::int64_t start) {
  const std::int64_t width = std::int64_t{buffer.viewEnd} - buffer.viewStart;
  std::int64_t end = start + width;
  if (buffer.ringWrapped) {
    const std::int64_t newest = buffer.sampleCount;
    if (start < newest - TraceBuffer::kRingSize) {
      start = newest - TraceBuffer::kRingSize;
      end = start + width;
    }
    if (end > newest) {
      start = newest - width;
      end = newest;
    }
  } else {
    if (start < 0) {
      start = 0;
      end = width;
    }
    if (end > TraceBuffer::kRingSize) {
      start = TraceBuffer::kRingSize - width;
      end = TraceBuffer::kRingSize;
    }
  }
  setView(buffer, start, end);
}

// The window moved by the drag, so that the sample grabbed comes under the
// mouse.
void pan(Trace& trace, std::int32_t under) {
  TraceBuffer& buffer = trace.buffer;
  moveWindow(buffer, buffer.viewStart + (std::int64_t{buffer.dragAnchor} - under));
}

// A right-button drag to `under` zooms in when it covers more than
// kZoomMinimum samples; a shorter one is a click.
bool zoomsIn(const TraceBuffer& buffer, std::int64_t under) {
  return std::abs(under - buffer.zoomStart) > kZoomMinimum;
}

// The range a right-button drag to `under` zooms in on. A drag past the
// left edge stops at the oldest sample held, past the right edge at the
// window's end; the range is at least kZoomMinimum samples.
std::pair<std::int64_t, std::int64_t> zoomRange(const TraceBuffer& buffer, std::int64_t under) {
  under = std::min<std::int64_t>(std::max(under, trace_internal::oldestKept(buffer)), buffer.viewEnd);
  const std::int64_t start = std::min<std::int64_t>(buffer.zoomStart, under);
  std::int64_t end = std::max<std::int64_t>(buffer.zoomStart, under);
  if (end - start < kZoomMinimum) end = start + kZoomMinimum;
  return {start, end};
}

// The pixel columns of the range a drag would zoom in on, or none.
void placeZoomBand(Trace& trace) {
  const TraceBuffer& buffer = trace.buffer;
  TraceModel& view = trace.view;
  view.zoomBandLeft = view.zoomBandRight = -1;
  if (!buffer.rightDown || !zoomsIn(buffer, buffer.cursorSample)) return;
  const auto [start, end] = zoomRange(buffer, buffer.cursorSample);
  view.zoomBandLeft = std::clamp(trace_internal::timeToX(trace, start), 0, view.traceWidth);
  view.zoomBandRight = std::clamp(trace_internal::timeToX(trace, end), 0, view.traceWidth);
}

// Zooms in on the dragged range. The cursor stays with the mouse: it is put
// on the sample under it in the new window, so it is still in view.
void zoomIn(Trace& trace, std::int64_t under, int x) {
  TraceBuffer& buffer = trace.buffer;
  const auto [start, end] = zoomRange(buffer, under);
  setView(buffer, start, end);
  buffer.cursorSample = std::clamp(sampleUnderMouse(trace, x), buffer.viewStart, buffer.viewEnd);
}

// The time base's window from the present start, moved back should it
// reach more than a tenth of its width past the newest sample, but not
// before the oldest sample held.
void placeTimeBase(TraceBuffer& buffer, std::int64_t width) {
  const std::int64_t latestEnd = std::int64_t{buffer.sampleCount} + width / 10;
  std::int64_t start = buffer.viewStart;
  if (start + width > latestEnd) start = latestEnd - width;
  start = std::max(start, trace_internal::oldestKept(buffer));
  setView(buffer, start, start + width);
}

void chooseTimeBase(Trace& trace, std::string_view entry, std::int32_t samples) {
  trace.tracePoints = samples;
  trace.view.timeBaseText = std::string(entry);
  placeTimeBase(trace.buffer, samples);
  repaintView(trace);
}

// The sample at x of the overview strip, which spans the ring's 65000
// samples from the oldest held.
std::int64_t stripSample(const Trace& trace, int x) {
  const int width = trace.view.stripWidth;
  if (width <= 0) return trace.buffer.viewStart;
  const double offset = std::floor(static_cast<double>(x) * TraceBuffer::kRingSize / width);
  return trace_internal::oldestKept(trace.buffer) + static_cast<std::int64_t>(std::clamp(offset, -4e9, 4e9));
}

// The window dragged along the strip: its start goes where the strip was
// taken hold of, less the grab. Past the recording it stops a tenth of its
// width after the newest sample, where a page jump would leave it, so that
// the strip never leads to an empty window.
void followStrip(Trace& trace, int x) {
  TraceBuffer& buffer = trace.buffer;
  const std::int32_t start = buffer.viewStart;
  const std::int64_t width = std::int64_t{buffer.viewEnd} - buffer.viewStart;
  const std::int64_t latestStart = std::int64_t{buffer.sampleCount} + width / 10 - width;
  moveWindow(buffer, std::min(stripSample(trace, x) - buffer.stripGrab, std::max<std::int64_t>(latestStart, 0)));
  if (buffer.viewStart != start) repaintView(trace);
}

// 2.2 times the window's width, centred on the click.
void zoomOut(TraceBuffer& buffer, std::int64_t under) {
  const std::int64_t half = std::max<std::int64_t>(std::int64_t{buffer.viewEnd} - buffer.viewStart, 0) * 11 / 10;
  std::int64_t start = under - half;
  std::int64_t end = under + half;
  if (start < 0) start = 0;
  if (buffer.ringWrapped) {
    const std::int64_t newest = std::int64_t{buffer.sampleCount} - 1;
    if (end > newest) {
      end = newest;
      start = end - 2 * half;
    }
    // The oldest sample the ring holds, not the one just overwritten.
    const std::int64_t oldest = trace_internal::oldestKept(buffer);
    if (start < oldest) {
      start = oldest;
      end = newest;
    }
  } else if (end > TraceBuffer::kRingSize) {
    end = TraceBuffer::kRingSize;
  }
  setView(buffer, start, end);
}

}  // namespace

namespace trace_internal {

std::string spanText(std::int64_t width) {
  for (const auto& [entry, samples] : kTimeBases)
    if (samples == width) return std::string(entry);
  return FormatPlainNumber(static_cast<double>(width) / TraceBuffer::kSamplesPerSecond) + std::string(kTimeUnit);
}

void placeCursor(Trace& trace) {
  const TraceBuffer& buffer = trace.buffer;
  TraceModel& view = trace.view;
  if (buffer.cursorSample < 0) {
    view.cursorX = -1;
    fillAnalysis(trace);
    return;
  }
  const int x = timeToX(trace, buffer.cursorSample);
  // A cursor outside the window is not shown.
  view.cursorX = view.traceWidth > 0 && view.traceHeight > 0 && x >= 0 && x <= view.traceWidth ? x : -1;
  view.WCuseur = FormatPlainNumber(static_cast<double>(buffer.cursorSample) / TraceBuffer::kSamplesPerSecond);
  fillCursorValues(trace);
  fillAnalysis(trace);
}

void fillCursorValues(Trace& trace) {
  const TraceSample& sample = trace.buffer.at(trace.buffer.cursorSample);
  TraceModel& view = trace.view;
  // The boxes show copies: the recorded values stay as they are.
  view.ValCurseur[0] = formatFixedValue(sample.vOutMv, false, 0);
  view.ValCurseur[1] = formatFixedValue(sample.richness, false, 3);
  view.ValCurseur[2] = formatFixedValue(sample.lambda, false, 3);
  view.ValCurseur[3] = formatFixedValue(sample.o2, true, 2);
  view.ValCurseur[4] = formatFixedValue(sample.airFuel, false, 2);
  for (std::size_t i = 0; i < 5; ++i) view.ValCurseurColor[i] = 0;
  for (std::size_t k = 0; k < 5; ++k) {
    const ChannelDefinition& slot = trace.channels.slot(static_cast<int>(k) + 1);
    view.ValCurseur[5 + k] = FormatPlainNumber(sample.channel[k] / std::pow(10.0, slot.Dec));
    view.ValCurseurColor[5 + k] = slot.Color;
  }
}

}  // namespace trace_internal

std::int32_t sampleUnderMouse(const Trace& trace, int x) {
  const TraceBuffer& buffer = trace.buffer;
  const int width = trace.view.traceWidth;
  if (width <= 0) return buffer.viewStart;
  const double span = static_cast<double>(std::int64_t{buffer.viewEnd} - buffer.viewStart);
  const double offset = std::floor(static_cast<double>(x) * span / width);
  return toSample(static_cast<std::int64_t>(std::clamp(offset, -4e9, 4e9)) + buffer.viewStart);
}

void Oscillo_MouseDown(Trace& trace, int x, bool rightButton) {
  TraceBuffer& buffer = trace.buffer;
  const std::int32_t under = sampleUnderMouse(trace, x);
  buffer.cursorSample = under;
  trace.view.zoomBandLeft = trace.view.zoomBandRight = -1;
  if (rightButton) {
    buffer.zoomStart = under;
    buffer.rightDown = true;
    trace.view.pointer = TraceModel::Pointer::Zoom;
  } else {
    buffer.dragAnchor = under;
    buffer.leftDown = true;
    trace.view.pointer = TraceModel::Pointer::Pan;
  }
  trace_internal::placeCursor(trace);
  trace.view.changed.notify();
}

void Oscillo_MouseMove(Trace& trace, int x, bool leftHeld) {
  TraceBuffer& buffer = trace.buffer;
  if (!trace.cursorFollowsPointer && !leftHeld && !buffer.rightDown) return;
  buffer.cursorSample = sampleUnderMouse(trace, x);
  // Only a drag that began on the trace moves the window: the anchor is
  // from its button press.
  if (leftHeld && buffer.leftDown) {
    pan(trace, buffer.cursorSample);
    buffer.cursorSample = sampleUnderMouse(trace, x);
    repaintView(trace);
  } else {
    trace_internal::placeCursor(trace);
  }
  placeZoomBand(trace);
  trace.view.changed.notify();
}

void Oscillo_MouseUp(Trace& trace, int x, bool rightButton) {
  TraceBuffer& buffer = trace.buffer;
  trace.view.pointer = TraceModel::Pointer::Default;
  trace.view.zoomBandLeft = trace.view.zoomBandRight = -1;
  if (!rightButton) {
    buffer.leftDown = false;
  } else if (buffer.rightDown) {
    buffer.rightDown = false;
    const std::int64_t under = sampleUnderMouse(trace, x);
    if (zoomsIn(buffer, under))
      zoomIn(trace, under, x);
    else
      zoomOut(buffer, under);
    repaintView(trace);
  }
  trace.view.changed.notify();
}

void Ctrl_Zoom_MouseDown(Trace& trace, int x) {
  TraceBuffer& buffer = trace.buffer;
  buffer.stripDown = true;
  const std::int64_t width = std::int64_t{buffer.viewEnd} - buffer.viewStart;
  const bool onBox = x >= buffer.overviewLeft && x <= buffer.overviewRight;
  buffer.stripGrab = onBox ? toSample(stripSample(trace, x) - buffer.viewStart) : toSample(width / 2);
  followStrip(trace, x);
  trace.view.changed.notify();
}

void Ctrl_Zoom_MouseMove(Trace& trace, int x, bool leftHeld) {
  // Only a drag that began on the strip moves the window.
  if (!leftHeld || !trace.buffer.stripDown) return;
  followStrip(trace, x);
  trace.view.changed.notify();
}

void Ctrl_Zoom_MouseUp(Trace& trace) { trace.buffer.stripDown = false; }

std::int64_t sampleUnderStrip(const Trace& trace, int x) { return stripSample(trace, x); }

void drawCursor(Trace& trace) {
  trace_internal::placeCursor(trace);
  trace.view.changed.notify();
}

void showCursorValues(Trace& trace) {
  trace_internal::fillCursorValues(trace);
  trace.view.changed.notify();
}

std::optional<std::int32_t> timeBaseSamples(std::string_view text) {
  for (const auto& [entry, samples] : kTimeBases)
    if (entry == text) return samples;
  return std::nullopt;
}

void TimeBase_Click(Trace& trace, std::string_view entry) {
  const auto samples = timeBaseSamples(entry);
  if (!samples) return;
  chooseTimeBase(trace, entry, *samples);
  trace.view.changed.notify();
}

void TimeBase_Validate(Trace& trace, std::string_view typedText) {
  const auto samples = timeBaseSamples(typedText);
  // The box is left with the span on screen as its text: confirming that
  // (leaving the box, say) moves nothing.
  if (samples && *samples != std::int64_t{trace.buffer.viewEnd} - trace.buffer.viewStart)
    chooseTimeBase(trace, typedText, *samples);
  else
    repaintView(trace);
  trace.view.changed.notify();
}

void OptionChOscillo_Click(Trace& trace, int index) {
  if (index < 0 || index > 4) return;
  trace.buffer.selectedQuantity = index;
  repaintView(trace);
  trace.view.changed.notify();
}

void ShowCanal_Click(Trace& trace, int k, bool checked) {
  if (k < 0 || k > 4) return;
  trace.channels.slot(k + 1).Show = checked;
  bool& ticked = trace.panel.showCanal[static_cast<std::size_t>(k)];
  const bool changed = ticked != checked;
  ticked = checked;
  if (changed) trace.panel.changed.notify();
  repaintView(trace);
  trace.view.changed.notify();
}

}  // namespace oxalis
