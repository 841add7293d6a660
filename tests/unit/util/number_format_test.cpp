#include "util/NumberFormat.h"

#include <gtest/gtest.h>

namespace oxalis {
namespace {

TEST(FormatFixed, PutsDecimalPointSignColumnAndLeadingZeros) {
  EXPECT_EQ(formatFixedValue(5, false, 1), " 0.5");
  EXPECT_EQ(formatFixedValue(1457, false, 2), " 14.57");
  EXPECT_EQ(formatFixedValue(-12, true, 2), "-0.12");
  EXPECT_EQ(formatFixedValue(0, false, 0), " 0");
  EXPECT_EQ(formatFixedValue(1000, false, 3), " 1.000");
  EXPECT_EQ(formatFixedValue(7, false, 4), " 0.0007");
}

TEST(FormatFixed, ClampsTo65535AndStoresTheClampBack) {
  std::int32_t sentinel = 99999;  // the division guard's value
  EXPECT_EQ(formatFixed(sentinel, false, 3), " 65.535");
  EXPECT_EQ(sentinel, 65535);
  EXPECT_EQ(formatFixedValue(100000, false, 3), " 65.535");
}

TEST(FormatFixed, SignedReadsSixteenBitTwosComplement) {
  std::int32_t word = 0xFF38;
  EXPECT_EQ(formatFixed(word, true, 2), "-2.00");
  EXPECT_EQ(word, -200);
  EXPECT_EQ(formatFixedValue(0xFFFF, false, 0), " 65535");
  EXPECT_EQ(formatFixedValue(32767, true, 0), " 32767");
  EXPECT_EQ(formatFixedValue(-5, false, 1), "-0.5");  // already negative stays negative
}

TEST(FormatFixedWide, KeepsTheWholeValueInTheSameLayout) {
  struct Case {
    std::int64_t value;
    int decimals;
    const char* text;
  };
  for (const Case& c : {Case{70000, 1, " 7000.0"}, Case{-70000, 1, "-7000.0"}, Case{100000, 3, " 100.000"},
                        Case{99999, 0, " 99999"}, Case{0xFFFF, 0, " 65535"}, Case{5, 1, " 0.5"}, Case{-12, 2, "-0.12"},
                        Case{0, 0, " 0"}, Case{INT64_MIN, 0, "-9223372036854775808"}})
    EXPECT_EQ(formatFixedWide(c.value, c.decimals), c.text) << c.value;
}

TEST(FormatDuration, HoursPlainMinutesAndSecondsWithSignColumn) {
  EXPECT_EQ(formatDuration(3725), "1h  2mn  5s");
  EXPECT_EQ(formatDuration(0), "0h  0mn  0s");
  EXPECT_EQ(formatDuration(100 * 3600 + 59 * 60 + 59), "100h  59mn  59s");
}

TEST(SafeDivide, GuardsZeroDivisor) {
  EXPECT_EQ(safeDivide(1e6, 0), 99999);
  EXPECT_DOUBLE_EQ(safeDivide(1e6, 850), 1176.4705882352941);
}

}  // namespace
}  // namespace oxalis
