#pragma once
// The pieces the trace operations share. Unlike the operations of Trace.h
// they never notify: an operation made of several pieces tells the window
// once, when it is done.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "trace/TraceBuffer.h"

namespace oxalis {

struct Trace;

namespace trace_internal {

// mapLinear, inline for the drawing loops. The floor is taken by truncation
// once the value is known to lie within the 16-bit range.
inline int mapLinear(double v, double lo, double hi, int pLo, int pHi) {
  if (hi == lo) hi = lo + 1;
  const double range = hi - lo;
  const double p = pLo + (v - lo) * (static_cast<double>(pHi) - pLo) / range;
  if (!(p >= -32768.0)) return std::isnan(p) ? std::clamp(pLo, -32768, 32767) : -32768;
  if (p >= 32767.0) return 32767;
  const int truncated = static_cast<int>(p);
  return truncated > p ? truncated - 1 : truncated;
}

// Sample number to slot, for any sample number.
inline std::size_t slotOf(std::int64_t sampleNumber) {
  const std::int64_t slot = sampleNumber % TraceBuffer::kRingSize;
  return static_cast<std::size_t>(slot < 0 ? slot + TraceBuffer::kRingSize : slot);
}

// The oldest sample number the ring still holds.
inline std::int64_t oldestKept(const TraceBuffer& buffer) {
  return buffer.ringWrapped ? std::int64_t{buffer.sampleCount} - TraceBuffer::kRingSize : 0;
}

// Limits a sample number to what the 32-bit state can hold.
std::int32_t toSample(std::int64_t value);

// Time to x on the trace area.
int timeToX(const Trace& trace, std::int64_t sampleNumber);

// The time-base box's text for a window of `width` samples: its entry when
// there is one ("20s"), otherwise its seconds as a plain number and "s".
std::string spanText(std::int64_t width);

void repaint(Trace& trace);
void appendSegment(Trace& trace, std::int32_t from, std::int32_t to);
void placeCursor(Trace& trace);
void fillCursorValues(Trace& trace);
void fillAnalysis(Trace& trace);

}  // namespace trace_internal
}  // namespace oxalis
