// The trace's two costs: the display list of a full repaint (page jumps,
// zoom, pan, resize), and one recorded sample with its newest segment.
// Both draw richness and four user channels on a 1920 x 600 area.
#include <benchmark/benchmark.h>

#include "CoreFixture.h"
#include "config/ChannelLine.h"
#include "trace/Trace.h"
#include "trace/TraceAnalysis.h"

namespace {

using oxalis::TraceBuffer;

void prepare(oxalis::Core& core) {
  oxalis::LoadDefaultChannels(core.channels);
  core.monitor.livePanel.showCanal = {true, true, true, true, false};
  oxalis::traceResized(core.trace, 1920, 600, 1920, 22);
}

// A wrapped ring of 100000 samples: a noisy wave on every curve.
void fillRing(oxalis::Core& core) {
  TraceBuffer& trace = core.trace.buffer;
  const std::int32_t count = 100000;
  for (std::int32_t n = count - TraceBuffer::kRingSize; n < count; ++n) {
    oxalis::TraceSample& s = trace.at(n);
    const std::int32_t noise = (n * 7919) % 61;
    s.richness = static_cast<std::int16_t>(700 + (n / 50) % 600 + noise);
    s.channel = {(n * 13) % 5000, 2500 + noise * 10, (n / 25) % 5000, 5000 - (n * 3) % 5000, n % 977};
    s.vOutMv = static_cast<std::int16_t>(1000 + noise * 20);
    s.lambda = 1800 - s.richness;
    s.o2 = noise - 30;
    s.airFuel = s.richness * 147 / 100;
  }
  trace.sampleCount = count;
  trace.writeIndex = count % TraceBuffer::kRingSize;
  trace.ringWrapped = true;
  trace.startIndex = trace.writeIndex + 1;
}

// Full repaint with state.range(0) samples in the window.
void BM_TraceDisplayList(benchmark::State& state) {
  oxalis::test::CoreFixture f;
  prepare(f.core);
  fillRing(f.core);
  const auto window = static_cast<std::int32_t>(state.range(0));
  f.core.trace.buffer.viewEnd = f.core.trace.buffer.sampleCount - 2;
  f.core.trace.buffer.viewStart = f.core.trace.buffer.viewEnd - window;
  for (auto _ : state) {
    oxalis::repaintTrace(f.core.trace);
    benchmark::DoNotOptimize(f.core.trace.view.trace.lines.data());
  }
  state.counters["lines"] = static_cast<double>(f.core.trace.view.trace.lines.size());
}
BENCHMARK(BM_TraceDisplayList)->Arg(25000)->Arg(65000)->Unit(benchmark::kMicrosecond);

// One measurement while recording, on the widest time base (500 s): one
// append in 2500 makes the page jump and its full repaint of a 22500-sample
// window, which is included in the average.
void BM_TraceAppend(benchmark::State& state) {
  oxalis::test::CoreFixture f;
  prepare(f.core);
  fillRing(f.core);
  f.core.state.recording = true;
  f.core.trace.tracePoints = 25000;
  f.core.trace.buffer.viewEnd = f.core.trace.buffer.sampleCount;  // the next sample jumps
  std::int32_t n = 0;
  for (auto _ : state) {
    f.core.monitor.live.richness = 700 + (n * 37) % 700;
    f.core.monitor.live.channel[0] = (n * 13) % 5000;
    f.core.monitor.live.channel[1] = 2500 + (n % 61) * 10;
    ++n;
    oxalis::recordSample(f.core.trace, f.core.state.recordPaused);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["samples_per_s_on_the_link"] = 50;
}
BENCHMARK(BM_TraceAppend);

}  // namespace

namespace {

// The readout between cursors A and B at the two ends of a full ring, with
// all ten quantities drawn: value at each cursor, difference, minimum,
// maximum and mean of each (goal: under 1 ms).
void BM_CursorStats(benchmark::State& state) {
  oxalis::test::CoreFixture f;
  prepare(f.core);
  fillRing(f.core);
  f.core.monitor.livePanel.showCanal = {true, true, true, true, true};
  for (int q = 0; q < 5; ++q) oxalis::overlayQuantity(f.core.trace, q, true);
  TraceBuffer& trace = f.core.trace.buffer;
  const auto span = static_cast<std::int32_t>(state.range(0));
  trace.viewEnd = trace.sampleCount - 1;
  trace.viewStart = trace.viewEnd - span + 1;
  oxalis::repaintTrace(f.core.trace);
  for (auto _ : state) {
    trace.cursorSample = trace.viewStart;
    oxalis::placeCursorB(f.core.trace, f.core.trace.view.traceWidth);  // the newest sample
    benchmark::DoNotOptimize(f.core.trace.view.readout.data());
  }
  state.counters["quantities"] = static_cast<double>(f.core.trace.view.readout.size());
  state.counters["samples"] = static_cast<double>(f.core.trace.cursorB - trace.cursorSample + 1);
}
BENCHMARK(BM_CursorStats)->Arg(65000)->Unit(benchmark::kMicrosecond);

}  // namespace
