#pragma once
// Feeding module bytes into a core or a link, and building module records, for tests.
#include <string>
#include <string_view>
#include <vector>

#include "app/Core.h"
#include "link/Link.h"
#include "link/RecordCodec.h"

namespace oxalis::test {

inline void feed(Core& core, std::string_view bytes) {
  for (char c : bytes) core.onByte(static_cast<std::uint8_t>(c));
}

inline void feed(Link& link, std::string_view bytes) {
  for (char c : bytes) link.onByte(static_cast<std::uint8_t>(c));
}

inline std::string bytes(const std::vector<int>& values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

// An identification reply: serial in the address field, the device code's
// characters, then the version bytes.
inline std::string identificationReply(std::string_view code, int serial, const std::vector<int>& versions) {
  return BuildRecord(0x12, static_cast<std::uint16_t>(serial), std::string(code) + bytes(versions));
}

inline std::string measurementRecord(int sequence, int selector, std::size_t dataBytes = 18) {
  return BuildRecord(0x13, static_cast<std::uint16_t>(sequence * 256 + selector), std::string(dataBytes, '\x01'));
}

}  // namespace oxalis::test
