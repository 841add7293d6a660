#include "util/TextEncoding.h"

#include <gtest/gtest.h>

#include "util/TextLines.h"

namespace oxalis {
namespace {

TEST(TextEncoding, SignsOfTheOldFilesAreSingleBytesOnDisk) {
  EXPECT_EQ(Utf8ToWindows1252("\xC2\xBA" "C"), "\xBA" "C");  // "ºC"
  EXPECT_EQ(Windows1252ToUtf8("N\xBA" "12"), "N\xC2\xBA" "12");
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x82\xAC"), "\x80");        // euro sign
  EXPECT_EQ(Windows1252ToUtf8("\x80\x93\x9F"), "\xE2\x82\xAC\xE2\x80\x9C\xC5\xB8");
  EXPECT_EQ(Utf8ToWindows1252("\xC2\x80"), "?");                // U+0080 is not the euro sign
  EXPECT_EQ(Utf8ToWindows1252("a\xF0\x9F\x98\x80" "b\xE2\x84\x83"), "a?b?");  // no 1252 form
}

TEST(TextEncoding, EveryByteOfAFileSurvivesReadingAndSaving) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Windows1252ToUtf8(all);
  EXPECT_EQ(Utf8ToWindows1252(utf8), all);  // the five undefined bytes too
  EXPECT_EQ(RepairUtf8(utf8), utf8);         // and what was read is valid UTF-8
}

TEST(TextEncoding, InvalidUtf8GivesOneQuestionMarkPerBadByte) {
  EXPECT_EQ(Utf8ToWindows1252("a\x80" "b"), "a?b");         // stray continuation byte
  EXPECT_EQ(Utf8ToWindows1252("a\xC3"), "a?");              // cut at the end
  EXPECT_EQ(Utf8ToWindows1252("\xC3" "A"), "?A");           // lead byte without continuation
  EXPECT_EQ(Utf8ToWindows1252("\xC0\xBA"), "??");           // over-long "º"
  EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80"), "???");      // surrogate
  EXPECT_EQ(Utf8ToWindows1252("\xF4\x90\x80\x80"), "????"); // past U+10FFFF
  EXPECT_EQ(RepairUtf8("ok\xFF"), "ok\xEF\xBF\xBD");
}

TEST(TextLines, AnyLineEndSplitsAndNoneStaysInALine) {
  using Lines = std::vector<std::string_view>;
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"}));  // LF then CR: two line ends
  EXPECT_TRUE(SplitLines("").empty());
  std::string_view f[4];
  SplitFields("x;y", f);
  EXPECT_EQ(f[1], "y");
  EXPECT_EQ(f[3], "");  // as if padded with ";"
}

}  // namespace
}  // namespace oxalis
