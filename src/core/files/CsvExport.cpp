#include "files/CsvExport.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "util/TextEncoding.h"
#include "config/ChannelLine.h"

namespace oxalis {

namespace {

constexpr std::int32_t kRing = TraceBuffer::kRingSize;

// The built-in columns, in their stored units.
constexpr std::string_view kFixedHeader =
    "time_s,Vout (mV),Richness,Lambda,O2 (%),A/F,TProbe (\xC2\xB0" "C),Vs (mV),Diag";

// One text field: quoted when it holds a separator, a quote or a line
// break; a leading character that a spreadsheet takes for a formula is
// disarmed with "'".
void appendText(std::string& out, std::string_view utf8) {
  std::string text = RepairUtf8(utf8);
  if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
    text.insert(0, 1, '\'');
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// A fixed-point value with `decimals` digits after the point: exact, whatever
// the value, with "-" in front of a negative one ("-0.05" for -5 and 2).
void appendFixed(std::string& out, std::int64_t value, unsigned decimals) {
  char digits[24];
  const std::uint64_t magnitude =
      value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  const auto length = static_cast<std::size_t>(end - digits);
  if (value < 0) out += '-';
  if (decimals == 0) {
    out.append(digits, length);
    return;
  }
  if (length <= decimals) {
    out += "0.";
    out.append(decimals - length, '0');
    out.append(digits, length);
    return;
  }
  out.append(digits, length - decimals);
  out += '.';
  out.append(end - decimals, decimals);
}

void appendHeader(std::string& out, const std::array<ChannelDefinition, 5>& channels) {
  out += kFixedHeader;
  for (int k = 1; k <= 5; ++k) {
    const ChannelDefinition& channel = channels[static_cast<std::size_t>(k - 1)];
    std::string name = channel.Name.empty() ? "Channel " + std::to_string(k) : channel.Name;
    if (!channel.Unit.empty()) name += " (" + channel.Unit + ")";
    out += ',';
    appendText(out, name);
  }
  out += "\r\n";
}

void appendRow(std::string& out, std::int32_t row, const TraceSample& s, const unsigned (&channelDecimals)[5]) {
  out += FormatPlainNumber(static_cast<double>(row) / TraceBuffer::kSamplesPerSecond);
  const auto field = [&out](std::int64_t value, unsigned decimals) {
    out += ',';
    appendFixed(out, value, decimals);
  };
  field(s.vOutMv, 0);
  field(s.richness, 3);
  field(s.lambda, 3);
  field(s.o2, 2);
  field(s.airFuel, 2);
  field(s.probeTempC, 0);
  field(s.vsMv, 0);
  field(s.diagFlags, 0);
  for (std::size_t k = 0; k < 5; ++k) field(s.channel[k], channelDecimals[k]);
  out += "\r\n";
}

}  // namespace

std::optional<std::int32_t> CsvRowOfSample(const TraceBuffer& trace, std::int64_t sampleNumber) {
  const TraceBuffer::HeldSlots held = trace.heldSlots();
  const std::int64_t oldest = trace.ringWrapped ? std::int64_t{trace.sampleCount} - kRing : held.firstSlot;
  const std::int64_t row = sampleNumber - oldest;
  if (row < 0 || row >= held.count) return std::nullopt;
  return static_cast<std::int32_t>(row);
}

std::string FormatCsv(const std::array<ChannelDefinition, 5>& channels, const TraceBuffer& trace,
                      std::optional<CsvRows> rows) {
  // The same order as the data file writer: the n-th data line and the
  // n-th row are the same sample.
  const TraceBuffer::HeldSlots held = trace.heldSlots();

  unsigned channelDecimals[5];
  for (std::size_t k = 0; k < 5; ++k) channelDecimals[k] = channels[k].Dec;

  std::string out;
  out.reserve(256 + static_cast<std::size_t>(held.count) * 80);
  appendHeader(out, channels);
  const std::int32_t first = rows ? std::clamp(rows->first, 0, held.count) : 0;
  const std::int32_t end = rows ? std::clamp(rows->last + 1, first, held.count) : held.count;
  for (std::int32_t row = first; row < end; ++row) {
    const std::int32_t slot = (held.firstSlot + row) % kRing;
    appendRow(out, row, trace.traceRing[static_cast<std::size_t>(slot)], channelDecimals);
  }
  return out;
}

FileResult WriteCsv(const std::array<ChannelDefinition, 5>& channels, const TraceBuffer& samples,
                    const std::filesystem::path& file, std::optional<CsvRows> rows) {
  return WriteFileAtomically(file, FormatCsv(channels, samples, rows));
}

}  // namespace oxalis
