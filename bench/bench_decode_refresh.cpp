// Per measurement record: decoding it into the live values, plus one refresh
// tick's texts and change computation (the tick runs every 330 ms, about
// every 16 records; this charges one tick to every record, a bound from
// above). The link brings at most 50 records per second.
#include <benchmark/benchmark.h>

#include "CoreFixture.h"
#include "config/ChannelLine.h"
#include "monitor/MeasurementDecoder.h"
#include "monitor/RefreshTick.h"

namespace {

void BM_DecodeAndRefresh(benchmark::State& state) {
  oxalis::test::CoreFixture f;
  oxalis::LoadDefaultChannels(f.core.channels);
  f.core.link.state.identity.deviceCode = "OX2";
  f.core.link.state.linkUp = true;  // port closed: the tick writes no keep-alive
  std::array<std::uint8_t, 18> data{};
  std::uint32_t n = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(n * 31 + i * 7);
    const auto selector = static_cast<std::uint8_t>(1u << (n % 8));
    oxalis::decodeMeasurement(f.core.monitor, data, selector, false);
    f.core.link.state.dataFlowing = true;
    f.core.link.state.freshSample = true;
    f.core.link.state.silentTicks = 0;
    f.core.onTimer(oxalis::TimerId::Refresh);
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["records_per_s_on_the_link"] = 50;
}
BENCHMARK(BM_DecodeAndRefresh);

}  // namespace
