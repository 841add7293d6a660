// Saving and opening a full data file: 65000 samples, the most the trace
// holds (about 22 minutes of recording). Goals: writing under 60 ms,
// reading under 100 ms. The file written is kept as
// <temp folder>/oxalis_bench.DA1 for a look at it afterwards.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <utility>

#include "CoreFixture.h"
#include "app/Persistence.h"
#include "config/ChannelLine.h"
#include "files/DataFile.h"

namespace {

std::filesystem::path benchFile() { return std::filesystem::temp_directory_path() / "oxalis_bench.DA1"; }

// A core whose ring is full, with plausible values in every field.
struct FullRing : oxalis::test::CoreFixture {
  FullRing() {
    core.start();
    core.link.state.identity.serialNumber = 10234;
    oxalis::TraceBuffer& trace = core.trace.buffer;
    for (std::int32_t n = 0; n < oxalis::TraceBuffer::kRingSize + 1000; ++n) {
      oxalis::TraceSample& s = trace.at(n);
      s.vOutMv = static_cast<std::int16_t>(2000 + n % 3000);
      s.richness = static_cast<std::int16_t>(800 + n % 400);
      s.o2 = 2093 - n % 500;
      s.lambda = 950 + n % 100;
      s.airFuel = 1384 + n % 150;
      s.probeTempC = static_cast<std::int16_t>(780 + n % 7);
      s.vsMv = static_cast<std::int16_t>(450 + n % 11 - 5);
      s.diagFlags = static_cast<std::uint8_t>(n % 3 == 0 ? 0 : 0x40);
      s.channel = {n % 5000, -(n % 1234), 120000 + n, 42, 4800 - n % 97};
    }
    trace.sampleCount = oxalis::TraceBuffer::kRingSize + 1000;
    trace.writeIndex = trace.sampleCount % oxalis::TraceBuffer::kRingSize;
    trace.ringWrapped = true;
    trace.startIndex = trace.writeIndex + 1;
  }
};

void BM_DataFileWrite(benchmark::State& state) {
  FullRing ring;
  const auto file = benchFile();
  const oxalis::DataFileHeader header = oxalis::currentDataFileHeader(ring.core);
  for (auto _ : state) {
    const oxalis::FileResult result = oxalis::WriteDataFile(header, ring.core.trace.buffer, file);
    if (!result.ok) state.SkipWithError(result.error.c_str());
  }
  state.SetItemsProcessed(state.iterations() * oxalis::TraceBuffer::kRingSize);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(file)));
}
BENCHMARK(BM_DataFileWrite)->Unit(benchmark::kMillisecond);

void BM_DataFileRead(benchmark::State& state) {
  const auto file = benchFile();
  {
    FullRing ring;
    if (!oxalis::saveDataFile(ring.core, file).ok) state.SkipWithError("cannot write the file to read");
  }
  oxalis::test::CoreFixture reader;
  reader.core.start();
  for (auto _ : state) {
    oxalis::FileResult opened;
    oxalis::DataFileRead read = oxalis::ReadDataFile(file, oxalis::UserChannels(reader.core.channels), opened);
    if (!opened.ok || read.linesRead != oxalis::TraceBuffer::kRingSize) state.SkipWithError("reading failed");
    oxalis::applyDataFile(reader.core, std::move(read));
  }
  state.SetItemsProcessed(state.iterations() * oxalis::TraceBuffer::kRingSize);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(file)));
}
BENCHMARK(BM_DataFileRead)->Unit(benchmark::kMillisecond);

// A file of 200 000 samples (a recording several times longer than the
// ring, from another tool or joined by hand): the newest 65000 are kept.
// Goal: under a second.
void BM_DataFileRead200kLines(benchmark::State& state) {
  std::string file = "05/12/2026;Oxalis;Korvane;1234\r\nDATA\r\n";
  for (int n = 0; n < 200'000; ++n)
    file += std::to_string(n) + ";2500;1000;2093;950;1384;780;450;64;100;-12;120000;42;4800\r\n";
  oxalis::ChannelTable channels;
  oxalis::LoadDefaultChannels(channels);
  for (auto _ : state) {
    const oxalis::DataFileRead read = oxalis::ParseDataFile(file, oxalis::UserChannels(channels));
    if (read.linesDropped != 200'000 - oxalis::TraceBuffer::kRingSize) state.SkipWithError("not all lines read");
    benchmark::DoNotOptimize(read.ring.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_DataFileRead200kLines)->Unit(benchmark::kMillisecond);

// Says where the file is, once, before the measurements.
const bool kAnnounced = [] {
  std::fprintf(stderr, "data file: %s (kept)\n", benchFile().string().c_str());
  return true;
}();

}  // namespace
