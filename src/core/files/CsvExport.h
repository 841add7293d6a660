#pragma once
// The trace as comma-separated values, for spreadsheets and analysis
// scripts: UTF-8 without byte-order mark, "," between fields, "." as decimal
// separator, lines ended by CR LF.
//
//   time_s,Vout (mV),Richness,Lambda,O2 (%),A/F,TProbe (°C),Vs (mV),Diag,CAN1 (mV),...,Vin (mV)
//   0,2500,1.000,1.000,20.93,14.57,780,450,0,12,0,0,0,4800
//   0.02,2502,0.998,1.002,-0.05,14.60,781,450,0,12,0,0,0,4800
//
// One row per sample the ring holds, oldest first and in the same order as
// the data file: a wrapped ring gives its 65000 samples from the oldest.
// time_s is the row's sample number, counted from the first row, divided by
// 50 (one sample every 20 ms). Every quantity is in physical units with a
// fixed number of decimals: richness and lambda 3, O2 and A/F 2, Vout, Vs
// and the probe temperature none, the diagnostic flags as an integer, and
// user channels 1..5 as many as their Dec. The header names the user
// channels by their Name and Unit ("Name (Unit)", or just the Name without
// a unit; "Channel k" when the name is empty).
//
// Text fields holding a ",", a quote or a line break are quoted, quotes
// doubled. A channel name that begins with "=", "+", "-", "@" or a tab is
// written with a leading "'", so that a spreadsheet shows it as text instead
// of running it as a formula.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "config/ChannelTable.h"
#include "trace/TraceBuffer.h"
#include "util/AtomicFile.h"

namespace oxalis {

// The rows to write, counted from the oldest sample held (0), both
// included; each keeps the time it has in the whole export.
struct CsvRows {
  std::int32_t first = 0;
  std::int32_t last = 0;
};
// The row of a sample number, when the ring still holds it.
std::optional<std::int32_t> CsvRowOfSample(const TraceBuffer& samples, std::int64_t sampleNumber);

// `channels` are the user channels 1..5; without `rows`, every sample held.
std::string FormatCsv(const std::array<ChannelDefinition, 5>& channels, const TraceBuffer& samples,
                      std::optional<CsvRows> rows = std::nullopt);

// Saves FormatCsv atomically; the previous file stays on failure.
FileResult WriteCsv(const std::array<ChannelDefinition, 5>& channels, const TraceBuffer& samples,
                    const std::filesystem::path& file, std::optional<CsvRows> rows = std::nullopt);

}  // namespace oxalis
