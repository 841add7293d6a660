#pragma once
// The setup window's values and the bytes the module keeps: CAN bit timing,
// the mode byte, the typed fields' clamps and scales.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/ConfigMap.h"

namespace oxalis {

// `BaudRateList`: "1Mb", "500k", "250k", "125k" and the three timing bytes
// B0 B1 B2 written for each.
struct CanSpeed {
  std::string_view name;
  int kbits;
  std::array<std::uint8_t, 3> timing;
};
inline constexpr std::array<CanSpeed, 4> kCanSpeeds{{
    {"1Mb", 1000, {0x40, 0xB7, 0x03}},
    {"500k", 500, {0x01, 0xB5, 0x05}},
    {"250k", 250, {0x04, 0xAA, 0x05}},
    {"125k", 125, {0x0F, 0x91, 0x03}},
}};

// The timing of the bit rate the module is given, clock `kCanTimingClock`.
struct CanTiming {
  int kbits = 0;        // rounded
  int propagation = 0;  // P
  int segment1 = 0;     // S1
  int segment2 = 0;     // S2
  int samplePoint = 0;  // %, integer part
};
inline constexpr int kCanTimingClock = 40;

// `CanBitRate`: the three timing bytes as six hex digits (B0 first).
CanTiming CanBitRate(std::string_view sixHexDigits);
// The six hex digits of a 24-bit timing value read from the module.
std::string TimingHex(std::uint32_t value);
// The factory tooltip of `BaudRateList`: "Tprop:P; Tseg1:S1; Tseg2:S2; SP:X%".
std::string CanTimingTip(const CanTiming& timing);

// `TypeDataMSG1`, the content of the transmitted messages' fourth word.
inline constexpr std::array<std::string_view, 5> kWord4Contents{"mV", "Richness", "Lambda", "O2", "A/F"};

// The mode byte (offset 0x13), built from five inputs.
struct ModeByte {
  int word4 = 1;  // position in kWord4Contents
  bool skynam = false;
  bool intel = false;
  std::array<bool, 3> messages{};
};
std::uint8_t EncodeModeByte(const ModeByte& mode);
// The fourth-word content may come out past the list (0x11 gives 5).
ModeByte DecodeModeByte(std::uint8_t byte);

// `Combo_Filtre`: "No filter", "Low", "Medium", "High" and their bytes.
inline constexpr std::array<std::string_view, 4> kFilterNames{"No filter", "Low", "Medium", "High"};
inline constexpr std::array<std::uint8_t, 4> kFilterBytes{0, 8, 16, 64};
inline constexpr int kFilterMedium = 2;
// The position of a filter byte, or nothing for a byte of no entry.
std::optional<int> FilterPosition(std::uint32_t byte);

// `ListeProtocoles`.
inline constexpr std::array<std::string_view, 3> kProtocols{"No special protocol", "Skynam", "Microtec"};
enum Protocol { kNoProtocol = 0, kSkynamProtocol = 1, kMicrotecProtocol = 2 };

// The clamp of a typed number: above the rule's maximum the text becomes
// its maximum text, then a number not above 0 becomes "0". Other texts stay
// as typed.
std::string ClampEntry(std::string_view text, const EntryRule& rule);
// The integer written for a typed text: its leading number times the
// rule's scale, rounded to nearest (a half to the even neighbour when the
// rule says so) and held within 0..65535.
std::uint16_t ScaledEntry(std::string_view text, const EntryRule& rule);

}  // namespace oxalis
