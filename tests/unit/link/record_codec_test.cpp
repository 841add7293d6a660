#include "link/RecordCodec.h"

#include <gtest/gtest.h>

namespace oxalis {
namespace {

TEST(RecordChecksum, MatchesKnownRecords) {
  EXPECT_EQ(RecordChecksum(":00000012"), "EE");
  EXPECT_EQ(RecordChecksum(":00000113"), "EC");
  EXPECT_EQ(RecordChecksum(":0200000400F0"), "0A");
  EXPECT_EQ(RecordChecksum(":020000040030"), "CA");
  EXPECT_EQ(RecordChecksum(":020000040000"), "FA");
  // A byte sum that is already 0 modulo 256 gives 00, not "100".
  EXPECT_EQ(RecordChecksum(":0000FF01"), "00");
}

TEST(RecordChecksum, MakesEveryBuiltRecordSumToZero) {
  for (int type = 0; type < 256; type += 17) {
    const std::string data = {'\x00', '\x7F', '\x80', '\xFF', static_cast<char>(type)};
    const std::string record = BuildRecord(static_cast<std::uint8_t>(type), static_cast<std::uint16_t>(type * 257), data);
    unsigned sum = 0;
    for (std::size_t i = 1; i < record.size(); i += 2) sum += HexToByte(record.substr(i, 2));
    EXPECT_EQ(sum % 256, 0u) << record;
  }
}

TEST(HexByte, ClampsAndWritesUpperCase) {
  EXPECT_EQ(HexByte(0), "00");
  EXPECT_EQ(HexByte(0xAB), "AB");
  EXPECT_EQ(HexByte(255), "FF");
  EXPECT_EQ(HexByte(300), "FF");
  EXPECT_EQ(HexByte(-1), "FF");  // a signed byte goes out as its two's complement
}

TEST(HexWord, ClampsAndWrapsNegatives) {
  EXPECT_EQ(HexWord(0x0E20), "0E20");
  EXPECT_EQ(HexWord(0x12345), "FFFF");
  EXPECT_EQ(HexWord(-1), "FFFF");
  EXPECT_EQ(HexWord(-32768), "8000");
  EXPECT_EQ(HexWord(-100000), "0000");
}

TEST(HexDigits, WritesDigitCountAndHandlesNegativesAndOverflow) {
  EXPECT_EQ(HexDigits(0x1A2B, 4), "1A2B");
  EXPECT_EQ(HexDigits(0x1A, 6), "00001A");
  EXPECT_EQ(HexDigits(-5, 8), "7FFF0000");
  EXPECT_EQ(HexDigits(0x12345, 4), "FFFF");  // saturates instead of writing a wider digit
  EXPECT_EQ(HexDigits(0xDEADBEEF, 8), "DEADBEEF");
}

TEST(HexToByte, ReadsUpperCaseOnly) {
  EXPECT_EQ(HexToByte("FF"), 255);
  EXPECT_EQ(HexToByte("0A"), 10);
  EXPECT_EQ(HexToByte("A"), 10);
  EXPECT_EQ(HexToByte("ff"), 0);   // lower case is not a hex digit here
  EXPECT_EQ(HexToByte("1g"), 16);  // an unknown digit counts as 0
  EXPECT_EQ(HexDigitValue('a'), -1);
  EXPECT_EQ(HexDigitValue('F'), 15);
}

TEST(SignedWordValue, ReadsSixteenBitTwosComplement) {
  EXPECT_EQ(SignedWordValue(0x7FFF), 32767);
  EXPECT_EQ(SignedWordValue(0x8000), -32768);
  EXPECT_EQ(SignedWordValue(0xFFFF), -1);
  EXPECT_EQ(SignedWordValue(0x1FFFF), -1);  // limited to 0xFFFF first
  EXPECT_EQ(SignedWordValue(1457), 1457);
}

TEST(BuildRecord, LaysOutLengthAddressTypeDataChecksum) {
  EXPECT_EQ(BuildRecord(0x12, 0, {}), ":00000012EE");
  EXPECT_EQ(BuildRecord(0x00, 0x0C, std::string(1, '\x02')), ":01000C0002F1");
}

}  // namespace
}  // namespace oxalis
