// Painting a full repaint of the trace with Qt into an image, as the trace
// widget does on a page jump or a view change (goal: half a 60 Hz frame).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>

#include "CoreFixture.h"
#include "TraceWidget.h"
#include "config/ChannelLine.h"
#include "trace/Trace.h"
#include "trace/TraceAnalysis.h"

namespace {

void BM_TracePaint(benchmark::State& state) {
  oxalis::test::CoreFixture f;
  oxalis::LoadDefaultChannels(f.core.channels);
  for (int k = 0; k < 4; ++k) f.core.monitor.livePanel.showCanal[static_cast<std::size_t>(k)] = true;
  const auto samples = static_cast<std::int32_t>(state.range(0));
  f.core.trace.tracePoints = samples;
  f.core.state.recording = true;
  for (std::int32_t n = 0; n < samples; ++n) {
    f.core.monitor.live.richness = static_cast<std::int32_t>(1000 + 300 * std::sin(n / 40.0));
    for (int k = 0; k < 4; ++k) f.core.monitor.live.channel[static_cast<std::size_t>(k)] = (n * (k + 3)) % 5000;
    oxalis::recordSample(f.core.trace, f.core.state.recordPaused);
  }
  f.core.trace.buffer.viewStart = 0;
  f.core.trace.buffer.viewEnd = samples;
  oxalis::traceResized(f.core.trace, 1920, 600, 1920, 22);
  QImage picture(1920, 600, QImage::Format_RGB32);
  for (auto _ : state) {
    picture.fill(Qt::black);
    QPainter painter(&picture);
    oxalis::paintDisplayList(painter, f.core.trace.view.trace);
  }
  state.counters["lines"] = static_cast<double>(f.core.trace.view.trace.lines.size());
}
BENCHMARK(BM_TracePaint)->Arg(25000)->Arg(65000)->Unit(benchmark::kMillisecond);

// A full repaint with all ten quantities drawn (the five built-in ones
// overlaid and the five user channels) over a 1920-pixel area: the display
// list and its painting (goal: under 15 ms).
void BM_TraceOverlayPaint(benchmark::State& state) {
  oxalis::test::CoreFixture f;
  oxalis::LoadDefaultChannels(f.core.channels);
  f.core.monitor.livePanel.showCanal = {true, true, true, true, true};
  const auto samples = static_cast<std::int32_t>(state.range(0));
  oxalis::TraceBuffer& buffer = f.core.trace.buffer;
  for (std::int32_t n = 0; n < samples; ++n) {
    oxalis::TraceSample& s = buffer.at(n);
    const double wave = std::sin(n / 40.0);
    s.vOutMv = static_cast<std::int16_t>(2500 + 1500 * wave);
    s.richness = static_cast<std::int16_t>(1000 + 300 * wave);
    s.lambda = static_cast<std::int32_t>(1000 - 250 * wave);
    s.o2 = static_cast<std::int32_t>(200 * wave);
    s.airFuel = s.richness * 147 / 100;
    for (std::size_t k = 0; k < 5; ++k) s.channel[k] = static_cast<std::int32_t>((n * (k + 3)) % 5000);
  }
  buffer.sampleCount = samples;
  buffer.writeIndex = samples % oxalis::TraceBuffer::kRingSize;
  buffer.viewStart = 0;
  buffer.viewEnd = samples;
  for (int q = 0; q < 5; ++q) f.core.trace.overlay[static_cast<std::size_t>(q)] = true;
  oxalis::traceResized(f.core.trace, 1920, 600, 1920, 22);
  QImage picture(1920, 600, QImage::Format_RGB32);
  for (auto _ : state) {
    oxalis::repaintTrace(f.core.trace);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    oxalis::paintDisplayList(painter, f.core.trace.view.trace);
  }
  state.counters["lines"] = static_cast<double>(f.core.trace.view.trace.lines.size());
  state.counters["curves"] = static_cast<double>(oxalis::drawnQuantities(f.core.trace).size());
}
BENCHMARK(BM_TraceOverlayPaint)->Arg(65000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
