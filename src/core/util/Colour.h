#pragma once
// Colours as the tool stores them everywhere (windows, channel definitions,
// files): 0x00BBGGRR.
#include <cstdint>

namespace oxalis {

inline constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r | g << 8 | b << 16; }

// Live values: fresh, stale (bytes arrive but no measurement), no link.
inline constexpr std::uint32_t kFreshGreen = Rgb(0, 248, 0);
inline constexpr std::uint32_t kStaleYellow = Rgb(255, 255, 0);
inline constexpr std::uint32_t kOfflineGrey = Rgb(160, 160, 160);
// A recorded sample played back: light blue, never taken for a live value.
inline constexpr std::uint32_t kReplayBlue = Rgb(110, 190, 255);
inline constexpr std::uint32_t kBlack = 0;

}  // namespace oxalis
