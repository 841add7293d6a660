// The sample ring: start-up, appending while recording with the page-wise
// scrolling of the window, clearing, and the memory gauge of the status bar.
#include <algorithm>
#include <limits>

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

std::int32_t windowWidth(const Trace& trace) {
  return trace.tracePoints > 0 ? trace.tracePoints : kDefaultTracePoints;
}

// appendSample without telling the window.
void append(Trace& trace, bool paused) {
  TraceBuffer& buffer = trace.buffer;
  const bool slotValid = buffer.writeIndex >= 0 && buffer.writeIndex < TraceBuffer::kRingSize;
  const std::size_t slot =
      slotValid ? static_cast<std::size_t>(buffer.writeIndex) : slotOf(std::int64_t{buffer.sampleCount} - 1);
  buffer.traceRing[slot] = sampleOf(trace.live);

  buffer.writeIndex = static_cast<std::int32_t>(slotOf(buffer.sampleCount));
  if (buffer.sampleCount > TraceBuffer::kRingSize) {
    buffer.ringWrapped = true;
    buffer.startIndex = buffer.writeIndex + 1;
  }

  // Page-wise scrolling: once the newest sample passes the window's end, the
  // window jumps so that a tenth of it is left free on the right.
  if (!paused && buffer.viewEnd < buffer.sampleCount) {
    const std::int64_t width = windowWidth(trace);
    std::int64_t end = std::int64_t{buffer.sampleCount} + width / 10;
    std::int64_t start = end - width;
    if (start < 0) {
      start = 0;
      end = width;
    }
    buffer.viewStart = trace_internal::toSample(start);
    buffer.viewEnd = trace_internal::toSample(end);
    trace_internal::repaint(trace);
  }

  trace_internal::fillCursorValues(trace);
}

}  // namespace

void initialiseTrace(Trace& trace) {
  TraceBuffer& buffer = trace.buffer;
  buffer.sampleCount = 0;
  buffer.writeIndex = 0;
  buffer.startIndex = 0;
  buffer.ringWrapped = false;
  if (trace.tracePoints <= 0) trace.tracePoints = kDefaultTracePoints;
  buffer.viewStart = 0;
  buffer.viewEnd = trace.tracePoints;
  buffer.selectedQuantity = 1;  // richness
  trace.cursorB = -1;
  trace.cursorBActive = false;
  repaintTrace(trace);
}

void traceResized(Trace& trace, int traceWidth, int traceHeight, int stripWidth, int stripHeight) {
  TraceModel& view = trace.view;
  view.traceWidth = std::max(traceWidth, 0);
  view.traceHeight = std::max(traceHeight, 0);
  view.stripWidth = std::max(stripWidth, 0);
  view.stripHeight = std::max(stripHeight, 0);
  updateOverviewBox(trace);
  repaintTrace(trace);
  trace.panel.forceRepaint = true;
}

void appendSample(Trace& trace, bool paused) {
  append(trace, paused);
  trace.view.changed.notify();
}

void recordSample(Trace& trace, bool paused) {
  TraceBuffer& buffer = trace.buffer;
  if (buffer.sampleCount == std::numeric_limits<std::int32_t>::max()) return;  // some 500 days of recording
  ++buffer.sampleCount;
  append(trace, paused);
  if (buffer.sampleCount >= 2 && !paused)
    trace_internal::appendSegment(trace, buffer.sampleCount - 2, buffer.sampleCount - 1);
  trace.view.changed.notify();
}

void clearTraceSlots(Trace& trace, std::int32_t from, std::int32_t to) {
  if (to < from) return;
  const std::int64_t count = std::min<std::int64_t>(std::int64_t{to} - from + 1, TraceBuffer::kRingSize);
  std::size_t slot = slotOf(from);
  for (std::int64_t i = 0; i < count; ++i) {
    trace.buffer.traceRing[slot] = TraceSample{};
    if (++slot == trace.buffer.traceRing.size()) slot = 0;
  }
}

std::string memoryText(const TraceBuffer& buffer) {
  // A ring holding 65000 samples is full even before the next one wraps it.
  std::int64_t percent = 100;
  if (!buffer.ringWrapped && buffer.sampleCount < TraceBuffer::kRingSize)
    percent = std::clamp<std::int64_t>(
        (std::int64_t{buffer.writeIndex} - buffer.startIndex) * 100 / TraceBuffer::kRingSize, 0, 100);
  return "Data memory used : " + std::to_string(percent) + "%";
}

void loadSamples(TraceBuffer& buffer, std::vector<TraceSample>&& ring, std::int32_t count) {
  ring.resize(TraceBuffer::kRingSize);
  buffer.traceRing.swap(ring);
  count = std::max(count, 0);
  buffer.sampleCount = count;
  buffer.writeIndex = count % TraceBuffer::kRingSize;
  buffer.ringWrapped = count > TraceBuffer::kRingSize;
  buffer.startIndex = buffer.ringWrapped ? buffer.writeIndex + 1 : 0;
  buffer.viewStart = buffer.ringWrapped ? count - TraceBuffer::kRingSize : 0;
  buffer.viewEnd = count;
}

}  // namespace oxalis
