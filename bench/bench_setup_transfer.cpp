// "Write all" and its read-back against the simulated module over a line
// paced at 57600 baud (5760 bytes a second each way), in simulated time.
// Counter `wire_ratio`: the time from the click until every reply is in and
// the last record has left, divided by the pure wire time of the records
// exchanged (the tool's records and the module's replies, measurement
// records left out, one after the other as the module's XON pacing makes
// them go). 1.0 would be a line never idle; the goal is at most 1.2.
#include <benchmark/benchmark.h>

#include "PacedLink.h"

namespace {

using oxalis::bench::kBytesPerMs;

void BM_WriteAllRoundTrip(benchmark::State& state) {
  oxalis::bench::PacedLink bench;
  bench.core.start();
  if (!bench.runUntil([&] { return bench.core.link.state.linkUp && bench.core.state.storedLevelKnown; }, 10000)) {
    state.SkipWithError("the module did not answer");
    return;
  }
  bench.core.openSetup();
  if (!bench.runUntil([&] { return bench.transferOver(); }, 30000)) {
    state.SkipWithError("the opening reads did not end");
    return;
  }

  double simulatedMs = 0;
  double wireMs = 0;
  for (auto _ : state) {
    const long long start = bench.now;
    const long long toolBefore = bench.line.toolBytes;
    const long long repliesBefore = bench.line.replyBytes;
    bench.core.setup.WriteCfgCAN_Click();
    if (!bench.runUntil([&] { return bench.transferOver(); }, 60000) ||
        bench.core.setup.window.transferStatus != "Written and verified") {
      state.SkipWithError(("not verified: " + bench.core.setup.window.transferStatus).c_str());
      return;
    }
    simulatedMs += static_cast<double>(bench.now - start);
    wireMs += static_cast<double>(bench.line.toolBytes - toolBefore + bench.line.replyBytes - repliesBefore) / kBytesPerMs;
  }
  state.counters["wire_ratio"] = simulatedMs / wireMs;
  state.counters["simulated_ms"] = benchmark::Counter(simulatedMs, benchmark::Counter::kAvgIterations);
  state.counters["wire_ms"] = benchmark::Counter(wireMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WriteAllRoundTrip)->Unit(benchmark::kMillisecond);

}  // namespace
