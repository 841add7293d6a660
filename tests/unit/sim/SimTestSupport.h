#pragma once
// Reading what a simulated module sent, independently of the tool's receive
// parser: the output is cut into records (":" LL AAAA TT data CC, length from
// LL) and single-character messages.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/RecordCodec.h"

namespace oxalis::sim::test {

struct Sent {
  bool record = false;
  std::uint8_t single = 0;  // the byte of a single-character message
  // Record fields.
  std::uint16_t address = 0;
  std::uint8_t type = 0;
  std::vector<std::uint8_t> data{};
  bool checksumOk = false;
  std::string text{};

  std::uint8_t addressHigh() const { return static_cast<std::uint8_t>(address >> 8); }
  std::uint8_t addressLow() const { return static_cast<std::uint8_t>(address & 0xFF); }
  unsigned word(std::size_t i) const { return data.at(i) << 8 | data.at(i + 1); }
};

inline std::vector<Sent> SplitOutput(std::string_view out) {
  std::vector<Sent> items;
  std::size_t i = 0;
  while (i < out.size()) {
    if (out[i] != ':' || i + 3 > out.size()) {
      items.push_back({.single = static_cast<std::uint8_t>(out[i])});
      ++i;
      continue;
    }
    const std::size_t length = 11 + 2 * std::size_t{HexToByte(out.substr(i + 1, 2))};
    const std::string_view text = out.substr(i, length);
    Sent s{.record = true, .text = std::string(text)};
    std::vector<std::uint8_t> bytes;
    for (std::size_t k = 1; k + 1 < text.size(); k += 2) bytes.push_back(HexToByte(text.substr(k, 2)));
    unsigned sum = 0;
    for (auto b : bytes) sum += b;
    s.checksumOk = text.size() == length && sum % 256 == 0;
    if (bytes.size() >= 5) {
      s.address = static_cast<std::uint16_t>(bytes[1] << 8 | bytes[2]);
      s.type = bytes[3];
      s.data.assign(bytes.begin() + 4, bytes.end() - 1);
    }
    items.push_back(std::move(s));
    i += text.size();
  }
  return items;
}

inline std::vector<Sent> RecordsOf(std::string_view out, int type) {
  std::vector<Sent> records;
  for (auto& s : SplitOutput(out))
    if (s.record && s.type == type) records.push_back(std::move(s));
  return records;
}

// A request as the tool would write it.
inline std::string Request(std::uint8_t type, std::uint16_t address, std::string_view data = {}) {
  return BuildRecord(type, address, data);
}
inline std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

inline const std::string kIdentify = ":00000012EE";
inline const std::string kStartFrames = ":00000113EC";
inline const std::string kStopFrames = ":00000013ED";
inline const std::string kTimeRequest = ":00000015EB";
inline const std::string kEepromArea = ":0200000400F00A";
inline const std::string kProgramArea = ":020000040000FA";
inline std::string ReadParams(int start, int count) {
  return Request(0x10, static_cast<std::uint16_t>(count << 8 | start));
}
inline std::string ReadMemory(int address, int count) {
  return Request(0x11, static_cast<std::uint16_t>(address), Bytes({count}));
}
inline std::string Reload(int group) { return Request(0x14, static_cast<std::uint16_t>(group)); }

}  // namespace oxalis::sim::test
