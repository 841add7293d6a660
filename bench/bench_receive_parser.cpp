// The receive parser with dispatch over a recorded stream of a connected
// second-generation Oxalis: measurement records of 18 data bytes, each
// followed by the module's XON, with a time reply now and then. The link
// delivers at most 5760 bytes per second; the parser must stay far above.
#include <benchmark/benchmark.h>

#include "FakeSerialPort.h"
#include "FakeTimers.h"
#include "link/Link.h"
#include "Feed.h"

namespace {

std::string recordedStream() {
  std::string stream;
  for (int n = 0; n < 1000; ++n) {
    std::string data;
    for (int i = 0; i < 18; ++i) data.push_back(static_cast<char>((n * 7 + i * 13) & 0xFF));
    stream += oxalis::BuildRecord(0x13, static_cast<std::uint16_t>((n % 256) * 256 + (1 << (n % 8))), data);
    stream += '\x11';
    if (n % 50 == 0) stream += oxalis::BuildRecord(0x15, 0, std::string("\x00\x05\xAF\x46", 4)) + '\x11';
  }
  return stream;
}

// The link's events, counting the measurement bytes handed on and nothing
// else: the parser alone is measured, not a decoder.
struct CountingEvents final : oxalis::LinkEvents {
  std::size_t decoded = 0;
  void identified() override {}
  void identifyRequested() override {}
  void measurement(std::span<const std::uint8_t> data, std::uint8_t) override { decoded += data.size(); }
  void parameterValue(std::uint8_t, double) override {}
  void memoryBlock(std::uint16_t, std::span<const std::uint8_t>) override {}
  void runningTime(double) override {}
  void linkStatusChanged(oxalis::LinkStatus) override {}
  void portShown(int) override {}
  void searchFailed() override {}
  void portLost() override {}
  void bootloaderReply(std::uint8_t) override {}
  void recordRefused(std::string_view) override {}
  void recordAbandoned(std::string_view) override {}
};

void BM_ReceiveParser(benchmark::State& state) {
  oxalis::test::FakeSerialPort port;
  oxalis::test::FakeTimers timers;
  CountingEvents events;
  oxalis::NoDiagnostics diagnostics;
  oxalis::Link link(port, timers, events, diagnostics);
  port.open(1);
  link.state.linkUp = true;
  link.state.identity.deviceCode = "OX2";
  const std::size_t& decoded = events.decoded;
  const std::string stream = recordedStream();
  for (auto _ : state) {
    oxalis::test::feed(link, stream);
    benchmark::DoNotOptimize(decoded);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
  state.counters["link_bytes_per_s"] = 5760;
}
BENCHMARK(BM_ReceiveParser);

}  // namespace
