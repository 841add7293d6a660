#pragma once
// Fills a trace buffer with samples 0..count-1 as a recording does (ring
// index, sample count, write index, wrap), each made by `sampleOf(n)`.
#include <cstdint>

#include "trace/TraceBuffer.h"

namespace oxalis::test {

template <typename SampleOf>
void recordSamples(TraceBuffer& trace, std::int32_t count, SampleOf sampleOf) {
  for (std::int32_t n = 0; n < count; ++n) {
    trace.at(n) = sampleOf(n);
    trace.sampleCount = n + 1;
    trace.writeIndex = trace.sampleCount % TraceBuffer::kRingSize;
    if (trace.sampleCount > TraceBuffer::kRingSize) {
      trace.ringWrapped = true;
      trace.startIndex = trace.writeIndex + 1;
    }
  }
}

}  // namespace oxalis::test
