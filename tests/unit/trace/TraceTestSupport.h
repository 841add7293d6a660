#pragma once
// A core with the default channels and a laid-out trace area of 1000 x 500
// pixels (strip 1000 x 20), richness drawn, no user channel ticked.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "CoreFixture.h"
#include "config/ChannelLine.h"
#include "trace/Trace.h"

namespace oxalis::test {

class TraceTest : public ::testing::Test, public CoreFixture {
 protected:
  void SetUp() override {
    LoadDefaultChannels(core.channels);
    core.monitor.livePanel.showCanal = {};
    traceResized(core.trace, 1000, 500, 1000, 20);
    initialiseTrace(core.trace);
    notifications = 0;
    subscription = core.trace.view.changed.subscribe([this] { ++notifications; });
  }

  // Puts samples 0..count-1 straight into the ring, as a recording of that
  // many samples would leave it, with richness from `richness`.
  void fill(std::int32_t count, const std::function<std::int32_t(std::int32_t)>& richness) {
    TraceBuffer& t = core.trace.buffer;
    for (std::int32_t n = std::max(0, count - TraceBuffer::kRingSize); n < count; ++n) {
      TraceSample& s = t.at(n);
      s = TraceSample{};
      s.richness = static_cast<std::int16_t>(richness(n));
    }
    t.sampleCount = count;
    t.writeIndex = count % TraceBuffer::kRingSize;
    t.ringWrapped = count > TraceBuffer::kRingSize;
    t.startIndex = t.ringWrapped ? t.writeIndex + 1 : 0;
  }

  void fillFlat(std::int32_t count) {
    fill(count, [](std::int32_t) { return 1000; });
  }

  void setView(std::int32_t start, std::int32_t end) {
    core.trace.buffer.viewStart = start;
    core.trace.buffer.viewEnd = end;
    repaintTrace(core.trace);
  }

  // The data lines of the last full repaint (after the grid).
  std::vector<DrawLine> dataLines() const {
    const auto& lines = core.trace.view.trace.lines;
    return {lines.begin() + static_cast<std::ptrdiff_t>(core.trace.view.gridLines), lines.end()};
  }

  int xOf(std::int64_t sample) const {
    return mapLinear(static_cast<double>(sample), core.trace.buffer.viewStart, core.trace.buffer.viewEnd, 0,
                     core.trace.view.traceWidth);
  }
  // Richness on the default 0..1800 scale.
  int yOf(std::int32_t richness) const { return mapLinear(richness, 0, 1800, core.trace.view.traceHeight, 0); }

  int notifications = 0;
  Subscription subscription;
};

}  // namespace oxalis::test
