// A 32 KiB firmware image sent through the simulated module's bootloader over
// a line paced at 57600 baud, in simulated time, from "Load" until the
// module's success report. Counter `wire_ratio`: that time over the pure
// wire time of the records exchanged (the image's records and the module's
// XON after each). The window sends one record per 10 ms tick and only on
// the module's XON, so a record of 16 data bytes (43 characters, about
// 7.5 ms on the wire with its XON) waits for the next tick: the tick, not
// the line, bounds the rate, near 10 / 7.5 = 1.35.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "PacedLink.h"
#include "sim/FirmwareImage.h"

namespace {

using oxalis::bench::kBytesPerMs;

void BM_FlashRoundTrip(benchmark::State& state) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "oxalis_bench_firmware.OX2";
  std::ofstream(file, std::ios::binary) << oxalis::sim::MakeFirmwareImage({});

  oxalis::bench::PacedLink bench;
  bench.core.start();
  if (!bench.runUntil([&] { return bench.core.link.state.linkUp && bench.core.state.storedLevelKnown; }, 10000)) {
    state.SkipWithError("the module did not answer");
    return;
  }
  double simulatedMs = 0;
  double wireMs = 0;
  oxalis::FirmwareUpdate& update = bench.core.firmware;
  for (auto _ : state) {
    update.open();
    if (!bench.runUntil([&] { return !update.window.statusPanel1.empty(); }, 2000) ||
        !update.chooseFile(file.string())) {
      state.SkipWithError("no bootloader version, or the file was refused");
      return;
    }
    const long long start = bench.now;
    const long long toolBefore = bench.line.toolBytes;
    const long long repliesBefore = bench.line.replyBytes;
    update.BoutonLoad_Click();
    bench.runUntil([&] { return !update.running(); }, 120000);
    if (update.outcome() != oxalis::FirmwareUpdate::Outcome::Done) {
      state.SkipWithError(("the update was not confirmed: " + update.window.Etat_load + " " + (bench.dialogs.messages.empty() ? std::string() : bench.dialogs.messages.back().text)).c_str());
      return;
    }
    simulatedMs += static_cast<double>(bench.now - start);
    wireMs += static_cast<double>(bench.line.toolBytes - toolBefore + bench.line.replyBytes - repliesBefore) / kBytesPerMs;
    update.close();
    bench.runUntil([&] { return bench.core.state.storedLevelKnown; }, 5000);
  }
  std::filesystem::remove(file);
  state.counters["wire_ratio"] = simulatedMs / wireMs;
  state.counters["simulated_s"] = benchmark::Counter(simulatedMs / 1000, benchmark::Counter::kAvgIterations);
  state.counters["wire_s"] = benchmark::Counter(wireMs / 1000, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FlashRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
