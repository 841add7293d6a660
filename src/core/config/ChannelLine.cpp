#include "config/ChannelLine.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace oxalis {

namespace {

constexpr std::size_t kFieldCount = 15;

// Rounded to the nearest integer (ties to even) and held within lo..hi.
double roundInto(double value, double lo, double hi) {
  const double r = std::nearbyint(value);
  if (!(r >= lo)) return lo;  // also catches NaN
  if (r > hi) return hi;
  return r;
}

std::uint8_t toByte(double value) { return static_cast<std::uint8_t>(roundInto(value, 0, 255)); }

std::uint32_t toColor(double value) { return static_cast<std::uint32_t>(roundInto(value, 0, 4294967295.0)); }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool isYes(std::string_view field) {
  if (field.size() != 3) return false;
  return upper(field[0]) == 'Y' && upper(field[1]) == 'E' && upper(field[2]) == 'S';
}

void appendText(std::string& out, std::string_view text) {
  AppendFieldText(out, text);
  out += ';';
}

void appendNumber(std::string& out, double value) {
  out += FormatPlainNumber(value);
  out += ';';
}

}  // namespace

void AppendFieldText(std::string& out, std::string_view text) {
  for (char c : text) {
    if (c == ';')
      out += ',';
    else if (c == '\r' || c == '\n')
      out += ' ';
    else
      out += c;
  }
}

std::string FormatChannelLine(const ChannelDefinition& channel) {
  std::string line;
  appendText(line, channel.Name);
  appendText(line, channel.ID);
  appendNumber(line, channel.MSB);
  appendNumber(line, channel.LSB);
  appendNumber(line, channel.A);
  appendNumber(line, channel.B);
  appendNumber(line, channel.C);
  appendNumber(line, channel.D);
  appendNumber(line, channel.Dec);
  appendNumber(line, channel.Min);
  appendNumber(line, channel.Max);
  appendText(line, channel.Unit);
  line += std::to_string(channel.Color);
  line += ';';
  line += channel.Show ? "YES;" : "NO;";
  line += std::to_string(channel.Map);
  return line;
}

void ParseChannelLine(ChannelDefinition& channel, std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);

  std::vector<std::string_view> fields;
  fields.reserve(kFieldCount);
  while (fields.size() < kFieldCount) {
    const std::size_t cut = line.find(';');
    fields.push_back(line.substr(0, cut));
    line = cut == std::string_view::npos ? std::string_view{} : line.substr(cut + 1);
  }

  channel.Name = std::string(fields[0]);
  channel.ID = std::string(fields[1]);
  channel.MSB = toByte(ReadLeadingNumber(fields[2]));
  channel.LSB = toByte(ReadLeadingNumber(fields[3]));
  channel.A = ReadLeadingNumber(fields[4]);
  channel.B = ReadLeadingNumber(fields[5]);
  channel.C = ReadLeadingNumber(fields[6]);
  channel.D = ReadLeadingNumber(fields[7]);
  channel.Dec = toByte(ReadLeadingNumber(fields[8]));
  channel.Min = ReadLeadingNumber(fields[9]);
  channel.Max = ReadLeadingNumber(fields[10]);
  channel.Unit = std::string(fields[11]);
  channel.Color = toColor(ReadLeadingNumber(fields[12]));
  channel.Show = isYes(fields[13]);
  channel.Map = toByte(ReadLeadingNumber(fields[14]));
}

std::string ChannelTooltipText(const ChannelDefinition& channel) {
  return channel.Name + "; ID=" + channel.ID + "; MSB=" + std::to_string(channel.MSB) +
         "; LSB=" + std::to_string(channel.LSB) + "; Scale=" + FormatPlainNumber(channel.Min) + " to " +
         FormatPlainNumber(channel.Max) + "; Unit=" + channel.Unit + ";" + std::to_string(channel.Map);
}

ChannelDefinition DefaultChannel(int slot) {
  ChannelDefinition channel;
  ParseChannelLine(channel, kDefaultChannelLines.at(static_cast<std::size_t>(slot - 1)));
  return channel;
}

void LoadDefaultChannels(ChannelTable& table) {
  for (int number = 1; number <= ChannelTable::kSlots; ++number) table.slot(number) = DefaultChannel(number);
}

}  // namespace oxalis
