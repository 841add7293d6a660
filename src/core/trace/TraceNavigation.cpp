// Steering the trace: the cursor and its value boxes, dragging the window
// along the ring, zoom in and out with the right button, the time base and
// the choice of curves.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "app/Core.h"
#include "monitor/ChannelLine.h"
#include "monitor/NumberFormat.h"
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

void setView(TraceBuffer& trace, std::int64_t start, std::int64_t end) {
  trace.viewStart = toSample(start);
  trace.viewEnd = toSample(end);
}

void repaintView(Core& core) {
  updateOverviewBox(core);
  trace_internal::repaint(core);
}

// The window moved by the drag, kept within the samples the ring holds.
void pan(Core& core, std::int32_t under) {
  TraceBuffer& trace = core.trace;
  const std::int64_t delta = std::int64_t{trace.dragAnchor} - under;
  const std::int64_t width = std::int64_t{trace.viewEnd} - trace.viewStart;
  std::int64_t start = trace.viewStart + delta;
  std::int64_t end = trace.viewEnd + delta;
  if (trace.ringWrapped) {
    const std::int64_t newest = trace.sampleCount;
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
  setView(trace, start, end);
}

// The dragged range, from where the right button went down to `under`.
void zoomIn(TraceBuffer& trace, std::int64_t under) {
  // A drag past the left edge stops at the oldest sample held, past the
  // right edge at the window's end.
  under = std::min<std::int64_t>(std::max(under, trace_internal::oldestKept(trace)), trace.viewEnd);
  const std::int64_t start = std::min<std::int64_t>(trace.zoomStart, under);
  std::int64_t end = std::max<std::int64_t>(trace.zoomStart, under);
  if (end - start < kZoomMinimum) end = start + kZoomMinimum;
  trace.cursorSample = 0;
  setView(trace, start, end);
}

// 2.2 times the window's width, centred on the click.
void zoomOut(TraceBuffer& trace, std::int64_t under) {
  const std::int64_t half = std::max<std::int64_t>(std::int64_t{trace.viewEnd} - trace.viewStart, 0) * 11 / 10;
  std::int64_t start = under - half;
  std::int64_t end = under + half;
  if (start < 0) start = 0;
  if (trace.ringWrapped) {
    const std::int64_t newest = std::int64_t{trace.sampleCount} - 1;
    if (end > newest) {
      end = newest;
      start = end - 2 * half;
    }
    // The oldest sample the ring holds, not the one just overwritten.
    const std::int64_t oldest = trace_internal::oldestKept(trace);
    if (start < oldest) {
      start = oldest;
      end = newest;
    }
  } else if (end > TraceBuffer::kRingSize) {
    end = TraceBuffer::kRingSize;
  }
  setView(trace, start, end);
}

}  // namespace

namespace trace_internal {

void placeCursor(Core& core) {
  const TraceBuffer& trace = core.trace;
  TraceModel& view = core.traceView;
  if (trace.cursorSample < 0) {
    view.cursorX = -1;
    return;
  }
  const int x = timeToX(core, trace.cursorSample);
  // A cursor outside the window is not shown.
  view.cursorX = view.traceWidth > 0 && view.traceHeight > 0 && x >= 0 && x <= view.traceWidth ? x : -1;
  view.WCuseur = FormatPlainNumber(static_cast<double>(trace.cursorSample) / TraceBuffer::kSamplesPerSecond);
  fillCursorValues(core);
}

void fillCursorValues(Core& core) {
  const TraceSample& sample = core.trace.at(core.trace.cursorSample);
  TraceModel& view = core.traceView;
  // The boxes show copies: the recorded values stay as they are.
  view.ValCurseur[0] = formatFixedValue(sample.vOutMv, false, 0);
  view.ValCurseur[1] = formatFixedValue(sample.richness, false, 3);
  view.ValCurseur[2] = formatFixedValue(sample.lambda, false, 3);
  view.ValCurseur[3] = formatFixedValue(sample.o2, true, 2);
  view.ValCurseur[4] = formatFixedValue(sample.airFuel, false, 2);
  for (std::size_t i = 0; i < 5; ++i) view.ValCurseurColor[i] = 0;
  for (std::size_t k = 0; k < 5; ++k) {
    const ChannelDefinition& slot = core.channels.slot(static_cast<int>(k) + 1);
    view.ValCurseur[5 + k] = FormatPlainNumber(sample.channel[k] / std::pow(10.0, slot.Dec));
    view.ValCurseurColor[5 + k] = slot.Color;
  }
}

}  // namespace trace_internal

std::int32_t sampleUnderMouse(const Core& core, int x) {
  const TraceBuffer& trace = core.trace;
  const int width = core.traceView.traceWidth;
  if (width <= 0) return trace.viewStart;
  const double span = static_cast<double>(std::int64_t{trace.viewEnd} - trace.viewStart);
  const double offset = std::floor(static_cast<double>(x) * span / width);
  return toSample(static_cast<std::int64_t>(std::clamp(offset, -4e9, 4e9)) + trace.viewStart);
}

void Oscillo_MouseDown(Core& core, int x, bool rightButton) {
  TraceBuffer& trace = core.trace;
  const std::int32_t under = sampleUnderMouse(core, x);
  trace.cursorSample = under;
  if (rightButton) {
    trace.zoomStart = under;
    trace.rightDown = true;
    core.traceView.pointer = TraceModel::Pointer::Zoom;
  } else {
    trace.dragAnchor = under;
    trace.leftDown = true;
    core.traceView.pointer = TraceModel::Pointer::Pan;
  }
  trace_internal::placeCursor(core);
  core.traceView.changed.notify();
}

void Oscillo_MouseMove(Core& core, int x, bool leftHeld) {
  TraceBuffer& trace = core.trace;
  trace.cursorSample = sampleUnderMouse(core, x);
  // Only a drag that began on the trace moves the window: the anchor is
  // from its button press.
  if (leftHeld && trace.leftDown) {
    pan(core, trace.cursorSample);
    trace.cursorSample = sampleUnderMouse(core, x);
    repaintView(core);
  } else {
    trace_internal::placeCursor(core);
  }
  core.traceView.changed.notify();
}

void Oscillo_MouseUp(Core& core, int x, bool rightButton) {
  TraceBuffer& trace = core.trace;
  core.traceView.pointer = TraceModel::Pointer::Default;
  if (!rightButton) {
    trace.leftDown = false;
  } else if (trace.rightDown) {
    trace.rightDown = false;
    const std::int64_t under = sampleUnderMouse(core, x);
    if (std::abs(under - trace.zoomStart) > kZoomMinimum)
      zoomIn(trace, under);
    else
      zoomOut(trace, under);
    repaintView(core);
  }
  core.traceView.changed.notify();
}

void drawCursor(Core& core) {
  trace_internal::placeCursor(core);
  core.traceView.changed.notify();
}

void showCursorValues(Core& core) {
  trace_internal::fillCursorValues(core);
  core.traceView.changed.notify();
}

std::optional<std::int32_t> timeBaseSamples(std::string_view text) {
  for (const auto& [entry, samples] : kTimeBases)
    if (entry == text) return samples;
  return std::nullopt;
}

void TimeBase_Click(Core& core, std::string_view entry) {
  const auto samples = timeBaseSamples(entry);
  if (!samples) return;
  core.state.tracePoints = *samples;
  core.traceView.timeBaseText = std::string(entry);
  core.trace.viewEnd = toSample(std::int64_t{core.trace.viewStart} + *samples);
  repaintView(core);
  core.traceView.changed.notify();
}

void TimeBase_Validate(Core& core, std::string_view typedText) {
  if (const auto samples = timeBaseSamples(typedText)) {
    core.state.tracePoints = *samples;
    core.traceView.timeBaseText = std::string(typedText);
  }
  repaintView(core);
  core.traceView.changed.notify();
}

void OptionChOscillo_Click(Core& core, int index) {
  if (index < 0 || index > 4) return;
  core.trace.selectedQuantity = index;
  repaintView(core);
  core.traceView.changed.notify();
}

void ShowCanal_Click(Core& core, int k, bool checked) {
  if (k < 0 || k > 4) return;
  core.channels.slot(k + 1).Show = checked;
  bool& ticked = core.livePanel.showCanal[static_cast<std::size_t>(k)];
  const bool changed = ticked != checked;
  ticked = checked;
  if (changed) core.livePanel.changed.notify();
  repaintView(core);
  core.traceView.changed.notify();
}

}  // namespace oxalis
