#include "setup/ConfigCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "util/NumberFormat.h"

namespace oxalis {

namespace {

int hexByte(std::string_view digits, std::size_t at) {
  int value = 0;
  if (at + 2 > digits.size()) return 0;
  std::from_chars(digits.data() + at, digits.data() + at + 2, value, 16);
  return value;
}

constexpr std::uint8_t kWord4AirFuel = 0x10;

}  // namespace

CanTiming CanBitRate(std::string_view digits) {
  const int b0 = hexByte(digits, 0);
  const int b1 = hexByte(digits, 2);
  const int b2 = hexByte(digits, 4);
  CanTiming t;
  t.segment2 = (b2 & 7) + 1;
  t.segment1 = ((b1 & 0x38) / 8) + 1;
  t.propagation = (b1 & 7) + 1;
  const double quantum = ((b0 & 0x3F) * 2 + 2) / static_cast<double>(kCanTimingClock);  // microseconds
  const int quanta = t.propagation + t.segment1 + 1 + t.segment2;
  t.kbits = static_cast<int>(std::lround(1000 / (quanta * quantum)));
  t.samplePoint = (t.propagation + t.segment1 + 1) * 100 / quanta;
  return t;
}

std::string TimingHex(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%06X", static_cast<unsigned>(value & 0xFFFFFF));
  return buffer;
}

std::string CanTimingTip(const CanTiming& t) {
  return "Tprop:" + std::to_string(t.propagation) + "; Tseg1:" + std::to_string(t.segment1) +
         "; Tseg2:" + std::to_string(t.segment2) + "; SP:" + std::to_string(t.samplePoint) + "%";
}

std::uint8_t EncodeModeByte(const ModeByte& mode) {
  int byte = mode.word4 == 4 ? kWord4AirFuel : std::clamp(mode.word4, 0, 3);
  if (mode.skynam) byte |= 1 << 2;
  if (mode.intel) byte |= 1 << 3;
  for (int i = 0; i < 3; ++i)
    if (mode.messages[static_cast<std::size_t>(i)]) byte |= 1 << (5 + i);
  return static_cast<std::uint8_t>(byte);
}

ModeByte DecodeModeByte(std::uint8_t byte) {
  ModeByte mode;
  mode.word4 = byte & 3;
  // Bit 4 moves the first two contents up by four: 0x10 is "A/F", 0x11
  // names no content (5).
  if ((byte & kWord4AirFuel) != 0 && mode.word4 <= 1) mode.word4 += 4;
  mode.skynam = (byte & (1 << 2)) != 0;
  mode.intel = (byte & (1 << 3)) != 0;
  for (int i = 0; i < 3; ++i) mode.messages[static_cast<std::size_t>(i)] = (byte & (1 << (5 + i))) != 0;
  return mode;
}

std::optional<int> FilterPosition(std::uint32_t byte) {
  for (std::size_t i = 0; i < kFilterBytes.size(); ++i)
    if (kFilterBytes[i] == byte) return static_cast<int>(i);
  return std::nullopt;
}

std::string ClampEntry(std::string_view text, const EntryRule& rule) {
  std::string result(text);
  if (ReadLeadingNumber(result) > rule.max) result = std::string(rule.maxText);
  if (!(ReadLeadingNumber(result) > 0)) result = "0";
  return result;
}

std::uint16_t ScaledEntry(std::string_view text, const EntryRule& rule) {
  const double scaled = ReadLeadingNumber(text) * rule.scale;
  const double rounded = rule.halfToEven ? std::nearbyint(scaled) : std::round(scaled);
  return static_cast<std::uint16_t>(std::clamp(rounded, 0.0, 65535.0));
}

}  // namespace oxalis
