#pragma once
// CAN identifiers as the setup window writes them ("0x" + 3 hex digits for
// 11-bit, "0x" + 8 for 29-bit) and as the module stores them (four bytes,
// most significant first).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace oxalis {

struct CanIdMessage {
  std::string text;
  std::string title;
  bool error = false;  // error icon; otherwise a warning
};

struct ParsedCanId {
  bool accepted = false;
  std::string text;                    // the normalised identifier when accepted
  std::vector<CanIdMessage> messages;  // to show, in order
};

// What parsing depends on besides the text: the Skynam option (identifiers
// forced to 11 bits) and whether the three transmit identifiers are each
// exactly five characters long.
struct CanIdContext {
  bool skynam = false;
  bool transmitIdsShort = true;
};

// `ParseCanId`: "0x" put in front when missing; a character that is not a
// hex digit rejects the text; more than eight digits keep the last eight;
// more than three make a 29-bit identifier (at most 0x1FFFFFFF), except
// under the Skynam option, where every identifier is 11-bit (at most 0x7FF).
ParsedCanId ParseCanId(std::string_view text, CanIdContext context);

// `FormatCanId`: the text of a stored identifier. The first-generation
// module keeps 11-bit identifiers in the upper 16 bits (`upperHalf11Bit`).
std::string FormatCanId(std::uint32_t value, bool upperHalf11Bit);

// `EncodeCanId`: the stored value of an identifier text: 11-bit as its value
// (times 65536 on the first-generation module), 29-bit with bit 31 set.
std::uint32_t EncodeCanId(std::string_view text, bool upperHalf11Bit);

// The four bytes of a 32-bit value, most significant first.
std::array<std::uint8_t, 4> BigEndian4(std::uint32_t value);

}  // namespace oxalis
