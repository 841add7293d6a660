#pragma once
// The probe's running time as typed in a "hhhh:mm:ss" box, and as the
// module stores it: hundredths of a second, four bytes most significant
// first.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace oxalis {

// Nothing for a text that does not fill the mask.
inline std::optional<std::uint32_t> ParseProbeTime(std::string_view t) {
  const auto digits = [&](std::size_t from, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
      if (i >= t.size() || t[i] < '0' || t[i] > '9') return std::optional<std::uint32_t>{};
      value = value * 10 + static_cast<std::uint32_t>(t[i] - '0');
    }
    return std::optional<std::uint32_t>{value};
  };
  const auto hours = digits(0, 4), minutes = digits(5, 2), seconds = digits(8, 2);
  if (t.size() != 10 || t[4] != ':' || t[7] != ':' || !hours || !minutes || !seconds) return std::nullopt;
  return (*hours * 3600 + *minutes * 60 + *seconds) * 100;
}

inline std::array<std::uint8_t, 4> ProbeTimeBytes(std::uint32_t hundredths) {
  return {static_cast<std::uint8_t>(hundredths >> 24), static_cast<std::uint8_t>(hundredths >> 16),
          static_cast<std::uint8_t>(hundredths >> 8), static_cast<std::uint8_t>(hundredths)};
}

}  // namespace oxalis
