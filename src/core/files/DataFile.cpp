#include "files/DataFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "util/TextEncoding.h"
#include "util/TextLines.h"
#include "config/ChannelLine.h"

namespace oxalis {

namespace {

constexpr std::int32_t kRing = TraceBuffer::kRingSize;
constexpr std::size_t kFirstChannelField = 9;  // fields 9..13 are channels 1..5
constexpr std::size_t kFields = 14;

// The A/F of the older layout is stored divided by 10 and was limited so
// that ten times the value fits a 16-bit sample.
constexpr double kTenfoldAirFuelLimit = 3276;

// ---- writing ----

void appendInteger(std::string& out, std::int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void appendTwoDigits(std::string& out, int value) {
  value = std::clamp(value, 0, 99);
  out += static_cast<char>('0' + value / 10);
  out += static_cast<char>('0' + value % 10);
}

void appendText(std::string& out, std::string_view text) { AppendFieldText(out, text); }

// "prefix;v1;v2;v3;v4;v5" followed by CR LF, one value per user channel.
template <typename Field>
void appendChannelRow(std::string& out, const DataFileHeader& header, std::string_view prefix, Field field) {
  out += prefix;
  for (const ChannelDefinition& channel : header.channels) {
    out += ';';
    field(out, channel);
  }
  out += "\r\n";
}

std::string formatHeader(const DataFileHeader& header) {
  std::string out;  // UTF-8 until the end
  out += kMakerAddress;
  out += header.deviceCode == "PNU" ? " : Data file from Panora N\xC2\xBA" : " : Data file from Oxalis N\xC2\xBA";
  appendInteger(out, header.serialNumber);
  out += " created: ";
  const DateTime& today = header.created;
  appendTwoDigits(out, today.day);
  out += '/';
  appendTwoDigits(out, today.month);
  out += '/';
  appendInteger(out, today.year);
  out += "\r\nCONFIG\r\n";

  const auto text = [](auto member) {
    return [member](std::string& o, const ChannelDefinition& c) { appendText(o, c.*member); };
  };
  const auto number = [](auto member) {
    return [member](std::string& o, const ChannelDefinition& c) { o += FormatPlainNumber(c.*member); };
  };
  const auto integer = [](auto member) {
    return [member](std::string& o, const ChannelDefinition& c) { appendInteger(o, c.*member); };
  };
  constexpr std::string_view x = ";x;x;x;x;x;x;x;x";
  appendChannelRow(out, header, "Name;Vout;Richness;O2;Lambda;AFR;TProbe;Vs;Diag", text(&ChannelDefinition::Name));
  appendChannelRow(out, header, std::string("ID").append(x), text(&ChannelDefinition::ID));
  appendChannelRow(out, header, std::string("MSB").append(x), integer(&ChannelDefinition::MSB));
  appendChannelRow(out, header, std::string("LSB").append(x), integer(&ChannelDefinition::LSB));
  appendChannelRow(out, header, std::string("A").append(x), number(&ChannelDefinition::A));
  appendChannelRow(out, header, std::string("B").append(x), number(&ChannelDefinition::B));
  appendChannelRow(out, header, std::string("C").append(x), number(&ChannelDefinition::C));
  appendChannelRow(out, header, std::string("D").append(x), number(&ChannelDefinition::D));
  appendChannelRow(out, header, std::string("Decimal").append(x), integer(&ChannelDefinition::Dec));
  appendChannelRow(out, header, std::string("Smin").append(x), number(&ChannelDefinition::Min));
  appendChannelRow(out, header, std::string("Smax").append(x), number(&ChannelDefinition::Max));
  appendChannelRow(out, header, "Unit;mV;x;%;Lambda;A/F;TProbe;mV;x", text(&ChannelDefinition::Unit));
  appendChannelRow(out, header, std::string("Color").append(x), integer(&ChannelDefinition::Color));
  out += "Show";
  out += x;
  for (bool shown : header.show) out += shown ? ";1" : ";0";
  out += "\r\nDATA\r\n";
  return Utf8ToWindows1252(out);
}

void appendSample(std::string& out, std::int32_t index, const TraceSample& s) {
  appendInteger(out, index);
  const std::int64_t fields[] = {s.vOutMv,     s.richness, s.o2,        s.lambda,     s.airFuel,
                                 s.probeTempC, s.vsMv,     s.diagFlags, s.channel[0], s.channel[1],
                                 s.channel[2], s.channel[3], s.channel[4]};
  for (std::int64_t value : fields) {
    out += ';';
    appendInteger(out, value);
  }
  out += "\r\n";
}

// ---- reading ----

// Rounded to the nearest integer (ties to even) and held within lo..hi.
double roundInto(double value, double lo, double hi) {
  const double r = std::nearbyint(value);
  if (!(r >= lo)) return lo;
  if (r > hi) return hi;
  return r;
}

// The leading decimal number of a field. Plain integers, nearly every field
// of a data file, are read here directly; anything with a point goes through
// the general reader.
double readNumber(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kSaturated = 100000000000000000;  // 1e17, beyond every field's range
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
    if (value < kSaturated) value = value * 10 + (field[i] - '0');
  if (i < field.size() && field[i] == '.') return ReadLeadingNumber(field);
  return static_cast<double>(negative ? -value : value);
}

template <typename T>
T readInto(std::string_view field) {
  return static_cast<T>(roundInto(readNumber(field), std::numeric_limits<T>::lowest(), std::numeric_limits<T>::max()));
}

std::uint8_t readByte(std::string_view field) { return readInto<std::uint8_t>(field); }
std::uint32_t readColor(std::string_view field) { return readInto<std::uint32_t>(field); }

DataFileRead notADataFile() {
  DataFileRead result;
  result.status = DataFileRead::Status::NotADataFile;
  return result;
}

bool blank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

void readSample(TraceSample& s, const std::string_view (&f)[kFields], bool airFuelTenfold) {
  s.vOutMv = readInto<std::int16_t>(f[1]);
  s.richness = readInto<std::int16_t>(f[2]);
  s.o2 = readInto<std::int32_t>(f[3]);
  s.lambda = readInto<std::int32_t>(f[4]);
  if (airFuelTenfold) {
    const double airFuel = std::min(readNumber(f[5]), kTenfoldAirFuelLimit) * 10;
    s.airFuel = static_cast<std::int32_t>(roundInto(airFuel, std::numeric_limits<std::int32_t>::lowest(),
                                                    std::numeric_limits<std::int32_t>::max()));
  } else {
    s.airFuel = readInto<std::int32_t>(f[5]);
  }
  s.probeTempC = readInto<std::int16_t>(f[6]);
  s.vsMv = readInto<std::int16_t>(f[7]);
  s.diagFlags = readInto<std::uint8_t>(f[8]);
  for (std::size_t k = 0; k < 5; ++k) s.channel[k] = readInto<std::int32_t>(f[kFirstChannelField + k]);
}

}  // namespace

std::string FormatDataFile(const DataFileHeader& header, const TraceBuffer& trace) {
  std::string out = formatHeader(header);

  const auto [first, count] = trace.heldSlots();

  out.reserve(out.size() + static_cast<std::size_t>(count) * 64);
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t slot = (first + i) % kRing;
    appendSample(out, slot, trace.traceRing[static_cast<std::size_t>(slot)]);
  }
  return out;
}

FileResult WriteDataFile(const DataFileHeader& header, const TraceBuffer& samples,
                         const std::filesystem::path& file) {
  return WriteFileAtomically(file, FormatDataFile(header, samples));
}

DataFileRead ParseDataFile(std::string_view content, const std::array<ChannelDefinition, 5>& channels) {
  const bool utf8 = StripUtf8Bom(content);
  const auto text = [utf8](std::string_view bytes) { return utf8 ? RepairUtf8(bytes) : Windows1252ToUtf8(bytes); };

  LineCursor lines(content);
  std::string_view line;
  if (!lines.next(line) || line.find(kMakerName) == std::string_view::npos)
    return notADataFile();

  DataFileRead result;
  result.channels = channels;
  result.afrTenfold = true;

  std::string_view f[kFields];
  while (lines.next(line)) {
    SplitFields(line, f);
    const std::string_view tag = f[0];
    if (tag == "DATA") break;
    for (std::size_t k = 0; k < 5; ++k) {
      ChannelDefinition& channel = result.channels[k];
      const std::string_view value = f[kFirstChannelField + k];
      if (tag == "Name") {
        channel.Name = text(value);
      } else if (tag == "ID") {
        channel.ID = text(value);
      } else if (tag == "Unit") {
        channel.Unit = text(value);
      } else if (tag == "MSB") {
        channel.MSB = readByte(value);
      } else if (tag == "LSB") {
        channel.LSB = readByte(value);
      } else if (tag == "Decimal") {
        channel.Dec = readByte(value);
      } else if (tag == "A") {
        channel.A = ReadLeadingNumber(value);
      } else if (tag == "B") {
        channel.B = ReadLeadingNumber(value);
      } else if (tag == "C") {
        channel.C = ReadLeadingNumber(value);
      } else if (tag == "D") {
        channel.D = ReadLeadingNumber(value);
      } else if (tag == "Smin") {
        channel.Min = ReadLeadingNumber(value);
      } else if (tag == "Smax") {
        channel.Max = ReadLeadingNumber(value);
      } else if (tag == "Color") {
        channel.Color = readColor(value);
      } else if (tag == "Show") {
        channel.Show = std::nearbyint(ReadLeadingNumber(value)) != 0;
        result.hasShowLine = true;
      }
    }
    if (tag == "Name" && f[5] == "AFR") result.afrTenfold = false;
  }

  std::size_t read = 0;
  while (lines.next(line)) {
    if (blank(line)) continue;
    SplitFields(line, f);
    // The ring grows with the file up to its 65000 slots (loadSamples gives
    // it the rest), so a short file costs only its own samples.
    const std::size_t slot = read % kRing;
    if (slot == result.ring.size()) result.ring.emplace_back();
    readSample(result.ring[slot], f, result.afrTenfold);
    ++read;
  }

  // Beyond the range of the counters (some two thousand million lines) the
  // count restarts one ring further on, keeping every slot where it is.
  constexpr std::size_t kCountLimit = std::numeric_limits<std::int32_t>::max() - kRing;
  const auto count = static_cast<std::int32_t>(read <= kCountLimit ? read : kRing + read % kRing);
  result.sampleCount = count;
  result.linesRead = read;
  result.linesDropped = read > static_cast<std::size_t>(kRing) ? read - kRing : 0;
  return result;
}

DataFileRead ReadDataFile(const std::filesystem::path& file, const std::array<ChannelDefinition, 5>& channels,
                          FileResult& result) {
  std::string error;
  const std::optional<std::string> content = ReadWholeFile(file, &error);
  if (!content) {
    result = {false, error};
    return notADataFile();
  }
  result = {};
  return ParseDataFile(*content, channels);
}

std::array<ChannelDefinition, 5> UserChannels(const ChannelTable& table) {
  std::array<ChannelDefinition, 5> out;
  for (int k = 1; k <= 5; ++k) out[static_cast<std::size_t>(k - 1)] = table.slot(k);
  return out;
}

}  // namespace oxalis
