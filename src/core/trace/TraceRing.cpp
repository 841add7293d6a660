// The sample ring: start-up, appending while recording with the page-wise
// scrolling of the window, clearing, and the memory gauge of the status bar.
#include <algorithm>
#include <limits>

#include "app/Core.h"
#include "trace/Trace.h"
#include "trace/TraceInternal.h"

namespace oxalis {

namespace {

using trace_internal::slotOf;

constexpr std::int32_t kDefaultTracePoints = 1000;

std::int16_t to16(std::int32_t value) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, std::numeric_limits<std::int16_t>::min(),
                                                            std::numeric_limits<std::int16_t>::max()));
}

TraceSample sampleOf(const LiveValues& live) {
  TraceSample sample;
  // The decoder keeps these within 16 bits; a value out of range is held at
  // the limit rather than wrapped round.
  sample.vOutMv = to16(live.vOutMv);
  sample.richness = to16(live.richness);
  sample.o2 = live.o2;
  sample.lambda = live.lambda;
  sample.airFuel = live.airFuel;
  sample.probeTempC = to16(live.probeTempC);
  sample.vsMv = to16(live.vsMv);
  sample.diagFlags = static_cast<std::uint8_t>(live.diagFlags & 0xFF);
  sample.channel = live.channel;
  return sample;
}

std::int32_t windowWidth(const Core& core) {
  return core.state.tracePoints > 0 ? core.state.tracePoints : kDefaultTracePoints;
}

// appendSample without telling the window.
void append(Core& core) {
  TraceBuffer& trace = core.trace;
  core.state.dataNotSaved = true;

  const bool slotValid = trace.writeIndex >= 0 && trace.writeIndex < TraceBuffer::kRingSize;
  const std::size_t slot =
      slotValid ? static_cast<std::size_t>(trace.writeIndex) : slotOf(std::int64_t{trace.sampleCount} - 1);
  trace.traceRing[slot] = sampleOf(core.live);

  trace.writeIndex = static_cast<std::int32_t>(slotOf(trace.sampleCount));
  if (trace.sampleCount > TraceBuffer::kRingSize) {
    trace.ringWrapped = true;
    trace.startIndex = trace.writeIndex + 1;
  }

  // Page-wise scrolling: once the newest sample passes the window's end, the
  // window jumps so that a tenth of it is left free on the right.
  if (!core.state.recordPaused && trace.viewEnd < trace.sampleCount) {
    const std::int64_t width = windowWidth(core);
    std::int64_t end = std::int64_t{trace.sampleCount} + width / 10;
    std::int64_t start = end - width;
    if (start < 0) {
      start = 0;
      end = width;
    }
    trace.viewStart = trace_internal::toSample(start);
    trace.viewEnd = trace_internal::toSample(end);
    trace_internal::repaint(core);
  }

  updateMemoryText(core);
  trace_internal::fillCursorValues(core);
}

}  // namespace

void initialiseTrace(Core& core) {
  TraceBuffer& trace = core.trace;
  trace.sampleCount = 0;
  trace.writeIndex = 0;
  trace.startIndex = 0;
  trace.ringWrapped = false;
  if (core.state.tracePoints <= 0) core.state.tracePoints = kDefaultTracePoints;
  trace.viewStart = 0;
  trace.viewEnd = core.state.tracePoints;
  trace.selectedQuantity = 1;  // richness
  repaintTrace(core);
}

void traceResized(Core& core, int traceWidth, int traceHeight, int stripWidth, int stripHeight) {
  TraceModel& view = core.traceView;
  view.traceWidth = std::max(traceWidth, 0);
  view.traceHeight = std::max(traceHeight, 0);
  view.stripWidth = std::max(stripWidth, 0);
  view.stripHeight = std::max(stripHeight, 0);
  updateOverviewBox(core);
  repaintTrace(core);
  core.livePanel.forceRepaint = true;
}

void appendSample(Core& core) {
  append(core);
  core.traceView.changed.notify();
}

void recordSample(Core& core) {
  TraceBuffer& trace = core.trace;
  if (trace.sampleCount == std::numeric_limits<std::int32_t>::max()) return;  // some 500 days of recording
  ++trace.sampleCount;
  append(core);
  if (trace.sampleCount >= 2 && !core.state.recordPaused)
    trace_internal::appendSegment(core, trace.sampleCount - 2, trace.sampleCount - 1);
  core.traceView.changed.notify();
}

void installTrace(Core& core) {
  core.hooks.appendTraceSample = [&core] { recordSample(core); };
}

void clearTraceSlots(Core& core, std::int32_t from, std::int32_t to) {
  if (to < from) return;
  const std::int64_t count = std::min<std::int64_t>(std::int64_t{to} - from + 1, TraceBuffer::kRingSize);
  std::size_t slot = slotOf(from);
  for (std::int64_t i = 0; i < count; ++i) {
    core.trace.traceRing[slot] = TraceSample{};
    if (++slot == core.trace.traceRing.size()) slot = 0;
  }
}

std::string memoryText(const TraceBuffer& trace) {
  // A ring holding 65000 samples is full even before the next one wraps it.
  std::int64_t percent = 100;
  if (!trace.ringWrapped && trace.sampleCount < TraceBuffer::kRingSize)
    percent = std::clamp<std::int64_t>(
        (std::int64_t{trace.writeIndex} - trace.startIndex) * 100 / TraceBuffer::kRingSize, 0, 100);
  return "Data memory used : " + std::to_string(percent) + "%";
}

void updateMemoryText(Core& core) {
  std::string text = memoryText(core.trace);
  std::string& panel = core.mainWindow.panel(6);
  if (panel == text) return;
  panel = std::move(text);
  core.mainWindow.changed.notify();
}

}  // namespace oxalis
