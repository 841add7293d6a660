#include "config/ChannelLine.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace oxalis {
namespace {

ChannelDefinition parsed(std::string_view line) {
  ChannelDefinition channel;
  ParseChannelLine(channel, line);
  return channel;
}

ChannelDefinition roundTrip(const ChannelDefinition& channel) { return parsed(FormatChannelLine(channel)); }

TEST(ChannelLine, DefaultSlotOneIsWrittenAsItsDefaultLineWithMapZero) {
  ChannelTable table;
  LoadDefaultChannels(table);
  EXPECT_EQ(FormatChannelLine(table.slot(1)), "CAN1;0x100;1;2;1;0;0;1;0;0;5000;mV;255;NO;0");
}

TEST(ChannelLine, DefaultsReadEmptyFieldsAsZeroAndKeepTheUtf8Unit) {
  ChannelTable table;
  LoadDefaultChannels(table);
  const ChannelDefinition& probe = table.slot(11);
  EXPECT_EQ(probe.D, 10);
  EXPECT_EQ(probe.Dec, 0);  // empty field
  EXPECT_EQ(probe.Unit, "\xC2\xBA" "C");
  EXPECT_TRUE(table.slot(7).Show);
  EXPECT_EQ(table.slot(8).Min, -1500);
}

TEST(ChannelLine, EveryDefaultSlotSurvivesWriteAndRead) {
  ChannelTable table;
  LoadDefaultChannels(table);
  for (int number = 1; number <= ChannelTable::kSlots; ++number) {
    EXPECT_EQ(roundTrip(table.slot(number)), table.slot(number)) << FormatChannelLine(table.slot(number));
  }
}

TEST(ChannelLine, AwkwardCoefficientsSurviveWriteAndRead) {
  ChannelDefinition channel = parsed("Odd;0x1FFFFFFF;8;0;1;2;3;4;3;5;6;bar;16711680;YES;5");
  const double values[] = {0.1, -32768, 1e-7, 123456.789, 1.0 / 3, -2.0 / 3, 32767, 1e300, 5e-324, -1e22};
  for (double v : values) {
    channel.A = v;
    channel.B = -v;
    channel.C = v / 7;
    channel.D = v * 3;
    channel.Min = v;
    channel.Max = v + 1;
    EXPECT_EQ(roundTrip(channel), channel) << FormatChannelLine(channel);
    EXPECT_EQ(FormatPlainNumber(v).find_first_of("eE"), std::string::npos) << v;  // no exponent, ever
  }
}

TEST(ChannelLine, NumbersAreWrittenPlainAndShort) {
  EXPECT_EQ(FormatPlainNumber(0.1), "0.1");
  EXPECT_EQ(FormatPlainNumber(-32768), "-32768");
  EXPECT_EQ(FormatPlainNumber(1e-7), "0.0000001");
  EXPECT_EQ(FormatPlainNumber(123456.789), "123456.789");
  EXPECT_EQ(FormatPlainNumber(5000), "5000");
  EXPECT_EQ(FormatPlainNumber(-0.0), "0");
  // Values that cannot be read back are written as finite numbers.
  EXPECT_EQ(FormatPlainNumber(std::numeric_limits<double>::quiet_NaN()), "0");
  EXPECT_EQ(ReadLeadingNumber(FormatPlainNumber(-std::numeric_limits<double>::infinity())),
            -std::numeric_limits<double>::max());
}

TEST(ChannelLine, LeadingNumberParse) {
  EXPECT_EQ(ReadLeadingNumber("  12.5abc"), 12.5);
  EXPECT_EQ(ReadLeadingNumber("\t7"), 7);
  EXPECT_EQ(ReadLeadingNumber("abc"), 0);
  EXPECT_EQ(ReadLeadingNumber(""), 0);
  EXPECT_EQ(ReadLeadingNumber("-3"), -3);
  EXPECT_EQ(ReadLeadingNumber("+4.25"), 4.25);
  EXPECT_EQ(ReadLeadingNumber(".5"), 0.5);
  EXPECT_EQ(ReadLeadingNumber("5."), 5);
  EXPECT_EQ(ReadLeadingNumber("-.25"), -0.25);
  EXPECT_EQ(ReadLeadingNumber("1e3"), 1);  // plain numbers only
  EXPECT_EQ(ReadLeadingNumber("0x100"), 0);
  EXPECT_EQ(ReadLeadingNumber("1,5"), 1);  // "," is no decimal separator
}

TEST(ChannelLine, LeadingNumberParseRejectsWhatIsNoPlainNumber) {
  EXPECT_EQ(ReadLeadingNumber("."), 0);
  EXPECT_EQ(ReadLeadingNumber("-"), 0);
  EXPECT_EQ(ReadLeadingNumber("--3"), 0);
  EXPECT_EQ(ReadLeadingNumber("+-3"), 0);
  EXPECT_EQ(ReadLeadingNumber("inf"), 0);
  EXPECT_EQ(ReadLeadingNumber("-nan"), 0);
  EXPECT_EQ(ReadLeadingNumber("- 3"), 0);
  EXPECT_EQ(ReadLeadingNumber("1" + std::string(400, '0')), std::numeric_limits<double>::max());
  EXPECT_EQ(ReadLeadingNumber("-1" + std::string(400, '0')), -std::numeric_limits<double>::max());
  EXPECT_EQ(ReadLeadingNumber("0." + std::string(400, '0') + "1"), 0);
}

TEST(ChannelLine, ShortLinesReadZerosAndEmptyTexts) {
  const ChannelDefinition stale = parsed("Old;0x7FF;3;4;5;6;7;8;2;9;10;V;99;YES;4");
  ChannelDefinition channel = stale;
  ParseChannelLine(channel, "Speed;0x200;1");
  EXPECT_EQ(channel.Name, "Speed");
  EXPECT_EQ(channel.ID, "0x200");
  EXPECT_EQ(channel.MSB, 1);
  EXPECT_EQ(channel.LSB, 0);
  EXPECT_EQ(channel.A, 0);
  EXPECT_EQ(channel.D, 0);
  EXPECT_EQ(channel.Max, 0);
  EXPECT_EQ(channel.Unit, "");
  EXPECT_EQ(channel.Color, 0u);
  EXPECT_FALSE(channel.Show);
  EXPECT_EQ(channel.Map, 0);

  ParseChannelLine(channel, "");
  EXPECT_EQ(channel, ChannelDefinition{});
}

TEST(ChannelLine, FourteenFieldsReadMapZeroAndExtraFieldsAreIgnored) {
  EXPECT_EQ(parsed("a;b;1;2;1;0;0;1;0;0;5000;mV;255;NO").Map, 0);
  const ChannelDefinition channel = parsed("a;b;1;2;1;0;0;1;0;0;5000;mV;255;NO;3;junk;7");
  EXPECT_EQ(channel.Map, 3);
  EXPECT_EQ(FormatChannelLine(channel), "a;b;1;2;1;0;0;1;0;0;5000;mV;255;NO;3");
}

TEST(ChannelLine, ShowIsYesInAnyCaseAndNothingElse) {
  EXPECT_TRUE(parsed("a;b;0;0;0;0;0;0;0;0;0;;0;yes").Show);
  EXPECT_TRUE(parsed("a;b;0;0;0;0;0;0;0;0;0;;0;YeS;0").Show);
  EXPECT_FALSE(parsed("a;b;0;0;0;0;0;0;0;0;0;;0; YES;0").Show);
  EXPECT_FALSE(parsed("a;b;0;0;0;0;0;0;0;0;0;;0;YESS;0").Show);
  EXPECT_FALSE(parsed("a;b;0;0;0;0;0;0;0;0;0;;0;1;0").Show);
  // A line terminator left by the file reader does not hide a YES.
  EXPECT_TRUE(parsed("a;b;0;0;0;0;0;0;0;0;0;;0;YES\r\n").Show);
}

TEST(ChannelLine, BytesAndColourAreRoundedAndHeldInRange) {
  const ChannelDefinition channel = parsed("a;b;2.6;-4;0;0;0;0;300;0;0;;-5;NO;255.4");
  EXPECT_EQ(channel.MSB, 3);
  EXPECT_EQ(channel.LSB, 0);     // no wrap to 252
  EXPECT_EQ(channel.Dec, 255);   // no wrap to 44
  EXPECT_EQ(channel.Map, 255);
  EXPECT_EQ(channel.Color, 0u);  // no wrap to 0xFFFFFFFB
  EXPECT_EQ(parsed("a;b;0;0;0;0;0;0;0;0;0;;4294967295;NO;0").Color, 0xFFFFFFFFu);
  EXPECT_EQ(parsed("a;b;0;0;0;0;0;0;0;0;0;;99999999999;NO;0").Color, 0xFFFFFFFFu);
  EXPECT_EQ(parsed("a;b;0;0;0;0;0;0;0;0;0;;16711679.6;NO;0").Color, 16711680u);
  EXPECT_EQ(parsed("a;b;2.5;3.5;0;0;0;0;0;0;0;;0;NO;0").MSB, 2);  // ties to even
  EXPECT_EQ(parsed("a;b;2.5;3.5;0;0;0;0;0;0;0;;0;NO;0").LSB, 4);
}

TEST(ChannelLine, TextsAreKeptAsTheyStandButCannotBreakTheLine) {
  const ChannelDefinition spaced = parsed(" Oil T ;0x10;1;2;1;0;0;1;0;0;150; \xC2\xBA" "C ;255;NO;0");
  EXPECT_EQ(spaced.Name, " Oil T ");
  EXPECT_EQ(spaced.Unit, " \xC2\xBA" "C ");
  EXPECT_EQ(roundTrip(spaced), spaced);

  ChannelDefinition channel = spaced;
  channel.Name = "Oil;T";
  channel.Unit = "deg\r\nC";
  const ChannelDefinition back = roundTrip(channel);
  EXPECT_EQ(back.Name, "Oil,T");
  EXPECT_EQ(back.Unit, "deg  C");
  EXPECT_EQ(back.Max, 150);  // the later fields stay in place
  EXPECT_EQ(back.Color, 255u);
}

TEST(ChannelTooltip, SummarisesTheChannel) {
  ChannelTable table;
  LoadDefaultChannels(table);
  EXPECT_EQ(ChannelTooltipText(table.slot(1)), "CAN1; ID=0x100; MSB=1; LSB=2; Scale=0 to 5000; Unit=mV;0");
  EXPECT_EQ(ChannelTooltipText(table.slot(5)), "Vin; ID=0x000; MSB=1; LSB=2; Scale=-100 to 5100; Unit=mV;0");
  ChannelDefinition channel = table.slot(2);
  channel.Min = -0.5;
  channel.Max = 12.25;
  channel.Map = 4;
  EXPECT_EQ(ChannelTooltipText(channel), "CAN2; ID=0x101; MSB=1; LSB=2; Scale=-0.5 to 12.25; Unit=mV;4");
}

}  // namespace
}  // namespace oxalis
