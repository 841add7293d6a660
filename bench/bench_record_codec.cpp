// Cost of building request records: every configuration write builds one
// record per field, and a firmware update several thousand.
#include <benchmark/benchmark.h>

#include "link/RecordCodec.h"

static void BM_BuildRecord32Bytes(benchmark::State& state) {
  const std::string data(32, '\x5A');
  for (auto _ : state) benchmark::DoNotOptimize(oxalis::BuildRecord(0x00, 0x0E20, data));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildRecord32Bytes);
