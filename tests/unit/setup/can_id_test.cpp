#include "setup/CanId.h"

#include <gtest/gtest.h>

namespace oxalis {
namespace {

struct ParseCase {
  const char* typed;
  bool skynam;
  bool transmitIdsShort;
  bool accepted;
  const char* text;
  std::vector<std::string> messages;
};

constexpr const char* kInvalid = "Invalid caracter";
constexpr const char* kHigh11 = "ID 11bit to high. No more than 0x7FF";
constexpr const char* kHigh29 = "ID 29bit to high. No more than 0x1FFFFFFF";
constexpr const char* kSkynam11 = "IDs must be 11bits format with Skynam protocol option";

TEST(ParseCanId, NormalisesClampsAndExplains) {
  const std::vector<ParseCase> cases{
      {"0x", false, true, true, "0x000", {}},
      {"7", false, true, true, "0x007", {}},
      {"g12", false, true, false, "", {kInvalid}},
      {"0x12z", false, true, false, "", {kInvalid}},
      {"800", false, true, true, "0x7FF", {kHigh11}},
      {"0800", false, true, true, "0x00000800", {}},
      {"5aff00", false, true, true, "0x005AFF00", {}},
      {"123456789", false, true, true, "0x1FFFFFFF", {kHigh29}},  // last eight: 23456789
      {"0x1FFFFFFF", false, true, true, "0x1FFFFFFF", {}},
      {"0x0123456789", false, true, true, "0x1FFFFFFF", {kHigh29}},  // 23456789 again
      {"0x1234", true, true, true, "0x7FF", {kHigh11}},
      {"0x1234", true, false, true, "0x7FF", {kSkynam11, kHigh11}},
      {"0x0012", true, true, true, "0x012", {}},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.typed);
    const ParsedCanId parsed = ParseCanId(c.typed, {c.skynam, c.transmitIdsShort});
    EXPECT_EQ(parsed.accepted, c.accepted);
    if (c.accepted) {
      EXPECT_EQ(parsed.text, c.text);
    }
    std::vector<std::string> shown;
    for (const CanIdMessage& m : parsed.messages) shown.push_back(m.text);
    EXPECT_EQ(shown, c.messages);
  }
}

TEST(CanIdStorage, FirstGenerationKeeps11BitIdentifiersInTheUpperHalf) {
  EXPECT_EQ(EncodeCanId("0x100", true), 0x01000000u);
  EXPECT_EQ(FormatCanId(0x01000000, true), "0x100");
  EXPECT_EQ(EncodeCanId("0x100", false), 0x00000100u);
  EXPECT_EQ(FormatCanId(0x00000100, false), "0x100");
  // 29-bit identifiers are stored alike on every module, flagged by bit 31.
  for (bool firstGeneration : {false, true}) {
    EXPECT_EQ(EncodeCanId("0x005AFF00", firstGeneration), 0x805AFF00u);
    EXPECT_EQ(FormatCanId(0x805AFF00, firstGeneration), "0x005AFF00");
  }
  // A stored value past the 29-bit range reads as the largest identifier.
  EXPECT_EQ(FormatCanId(0x7FFFFFFF, false), "0x1FFFFFFF");
  EXPECT_EQ(BigEndian4(0x805AFF00), (std::array<std::uint8_t, 4>{0x80, 0x5A, 0xFF, 0x00}));
}

}  // namespace
}  // namespace oxalis
