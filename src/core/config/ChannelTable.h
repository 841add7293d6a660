#pragma once
// The channel definitions: slots 1..5 are the user channels the module
// decodes from the CAN bus (slot 5 its analogue input), slots 6..13 the
// module's own measurements.
#include <array>
#include <cstdint>
#include <string>

namespace oxalis {

struct ChannelDefinition {
  std::string Name;
  std::string ID;          // "0x" + 3 hex digits (11-bit) or 8 (29-bit)
  std::uint8_t MSB = 0;    // byte positions of the raw value in the message
  std::uint8_t LSB = 0;
  std::uint8_t Map = 0;    // 0..5, passed to the module unchanged
  double A = 0;            // physical value = (A*raw + B) / (C*raw + D)
  double B = 0;
  double C = 0;
  double D = 0;
  double Min = 0;          // scale of the channel
  double Max = 0;
  std::uint8_t Dec = 0;    // decimals shown, 0..3
  std::string Unit;
  std::uint32_t Color = 0; // 0x00BBGGRR
  bool Show = false;       // drawn on the trace

  bool operator==(const ChannelDefinition&) const = default;
};

struct ChannelTable {
  static constexpr int kSlots = 13;
  std::array<ChannelDefinition, kSlots> entries{};  // not "slots": a Qt keyword

  ChannelDefinition& slot(int number) { return entries.at(static_cast<std::size_t>(number - 1)); }
  const ChannelDefinition& slot(int number) const { return entries.at(static_cast<std::size_t>(number - 1)); }
};

}  // namespace oxalis
