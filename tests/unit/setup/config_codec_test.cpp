#include "setup/ConfigCodec.h"

#include <gtest/gtest.h>

namespace oxalis {
namespace {

TEST(CanBitRate, TheFourListedSpeedsComeOutExactly) {
  for (const CanSpeed& speed : kCanSpeeds) {
    const std::uint32_t value = speed.timing[0] << 16 | speed.timing[1] << 8 | speed.timing[2];
    EXPECT_EQ(CanBitRate(TimingHex(value)).kbits, speed.kbits) << speed.name;
  }
  const CanTiming oneMegabit = CanBitRate("40B703");
  EXPECT_EQ(CanTimingTip(oneMegabit), "Tprop:8; Tseg1:7; Tseg2:4; SP:80%");
  EXPECT_EQ(CanBitRate("41B703").kbits, 500);  // twice the time quantum
  EXPECT_EQ(CanBitRate("03B703").kbits, 250);
  EXPECT_EQ(CanBitRate("02B703").kbits, 333);  // no list entry: "???"
}

TEST(ModeByte, BothWays) {
  const ModeByte skynamAirFuel = DecodeModeByte(0x1C);
  EXPECT_EQ(skynamAirFuel.word4, 4);
  EXPECT_TRUE(skynamAirFuel.skynam);
  EXPECT_TRUE(skynamAirFuel.intel);
  EXPECT_EQ(skynamAirFuel.messages, (std::array<bool, 3>{false, false, false}));
  const ModeByte userO2 = DecodeModeByte(0xE3);
  EXPECT_EQ(userO2.word4, 3);
  EXPECT_FALSE(userO2.skynam);
  EXPECT_FALSE(userO2.intel);
  EXPECT_EQ(userO2.messages, (std::array<bool, 3>{true, true, true}));
  // Bit 4 moves only the first two contents.
  EXPECT_EQ(DecodeModeByte(0x12).word4, 2);
  EXPECT_EQ(DecodeModeByte(0x11).word4, 5);
  for (int byte : {0x00, 0x1C, 0xE3, 0x3C, 0xA9}) {
    const ModeByte mode = DecodeModeByte(static_cast<std::uint8_t>(byte));
    EXPECT_EQ(EncodeModeByte(mode), byte) << byte;
  }
}

TEST(EntryRule, ClampsAndScalesAsTyped) {
  const EntryRule vout = configEntry(Setting::VoutProbeFault).rule;
  const EntryRule richness = configEntry(Setting::RichnessInvalid).rule;
  const EntryRule ratio = configEntry(Setting::StoichiometricRatio).rule;
  EXPECT_EQ(ClampEntry("6000", vout), "5000");
  EXPECT_EQ(ClampEntry("-3", vout), "0");
  EXPECT_EQ(ClampEntry("abc", vout), "0");
  EXPECT_EQ(ClampEntry("4999.5", vout), "4999.5");
  EXPECT_EQ(ClampEntry("1.8", richness), "1.750");
  EXPECT_EQ(ClampEntry("51", ratio), "50");
  // Halves go to the even neighbour; the heater's seconds away from zero.
  EXPECT_EQ(ScaledEntry("2500.5", vout), 2500);
  EXPECT_EQ(ScaledEntry("2501.5", vout), 2502);
  EXPECT_EQ(ScaledEntry("20.5", configEntry(Setting::HeaterTimeout).rule), 21);
  EXPECT_EQ(ScaledEntry("1.0005", richness), 1000);
  EXPECT_EQ(ScaledEntry("1.0015", richness), 1002);
  EXPECT_EQ(ScaledEntry("14.57", ratio), 1457);
  EXPECT_EQ(ScaledEntry("14.565", ratio), 1456);
  EXPECT_EQ(ScaledEntry("14.575", ratio), 1458);
}

}  // namespace
}  // namespace oxalis
