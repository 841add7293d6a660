#include "monitor/MeasurementDecoder.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

#include "CoreFixture.h"
#include "Feed.h"
#include "config/ChannelLine.h"
#include "config/ChannelScaling.h"
#include "util/NumberFormat.h"

namespace oxalis {
namespace {

// A measurement record's data bytes, full length for every layout.
struct Record {
  std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(20, 0);
  Record& byte(std::size_t i, int value) {
    bytes.at(i) = static_cast<std::uint8_t>(value);
    return *this;
  }
  Record& word(std::size_t i, int value) { return byte(i, value >> 8 & 0xFF).byte(i + 1, value & 0xFF); }
  Record& richness(int value) { return word(2, value); }
  Record& slow(int s0, int s1) { return byte(8, s0).byte(9, s1); }
  Record& slowWord(int value) { return word(8, value); }
};

// Every field of LiveValues, to see what a record left alone.
std::vector<std::int32_t> allFields(const LiveValues& v) {
  std::vector<std::int32_t> f{v.vOutMv,        v.richness,   v.lambda,     v.o2,         v.airFuel,
                              v.probeTempC,    v.heaterVolt, v.heaterPwm,  v.batteryVolt, v.internalTempC,
                              v.vgndMv,        v.probeFactor, v.diagFlags, v.canErrorFlags, v.vsMv,
                              v.slewRate,      v.canErrorCount, v.vinMv,   v.vluxMv,     v.klux,
                              v.channelSelect, v.fuelType,   v.brightnessPct};
  f.insert(f.end(), v.channel.begin(), v.channel.end());
  return f;
}

// Distinct values in every field, so that a field written by mistake shows.
void fillWithMarkers(LiveValues& v) {
  std::int32_t marker = 7001;
  for (std::int32_t* field : {&v.vOutMv, &v.richness, &v.lambda, &v.o2, &v.airFuel, &v.probeTempC, &v.heaterVolt,
                              &v.heaterPwm, &v.batteryVolt, &v.internalTempC, &v.vgndMv, &v.probeFactor, &v.diagFlags,
                              &v.canErrorFlags, &v.vsMv, &v.slewRate, &v.canErrorCount, &v.vinMv, &v.vluxMv, &v.klux,
                              &v.channelSelect, &v.fuelType, &v.brightnessPct})
    *field = marker++;
  for (std::int32_t& c : v.channel) c = marker++;
}

class MeasurementDecoderTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override {
    LoadDefaultChannels(core.channels);
    subscription = core.monitor.livePanel.changed.subscribe([this] { ++panelNotifications; });
  }
  void use(const char* deviceCode) { core.link.state.identity.deviceCode = deviceCode; }
  void decode(const Record& record, int selector = 0) {
    decodeMeasurement(core.monitor, record.bytes, static_cast<std::uint8_t>(selector), core.factory.visible);
  }
  LiveValues& live = core.monitor.live;
  int panelNotifications = 0;
  Subscription subscription;
};

// ---- Fast fields ---------------------------------------------------------

TEST_F(MeasurementDecoderTest, FastFieldsAreClampedAndLambdaAndAirFuelFollowRichness) {
  use("OX2");
  decode(Record{}.word(0, 6000).richness(850).word(4, 4321));
  EXPECT_EQ(live.vOutMv, 5000);
  EXPECT_EQ(live.richness, 850);
  EXPECT_EQ(live.lambda, 1176);  // computed; the module's word is ignored
  EXPECT_EQ(live.airFuel, 1714);

  decode(Record{}.word(0, 4999).richness(2500));
  EXPECT_EQ(live.vOutMv, 4999);
  EXPECT_EQ(live.richness, 2000);
  EXPECT_EQ(live.lambda, 500);  // from the clamped richness
}

TEST_F(MeasurementDecoderTest, RichnessZeroGivesTheDivisionSentinels) {
  use("OX2");
  decode(Record{}.richness(0));
  EXPECT_EQ(live.lambda, 99999);
  EXPECT_EQ(live.airFuel, 65535);
  EXPECT_EQ(formatFixed(live.lambda, false, 3), " 65.535");
  EXPECT_EQ(formatFixed(live.airFuel, false, 2), " 655.35");
}

TEST_F(MeasurementDecoderTest, AirFuelBelowRichnessTwoIsNotComputed) {
  use("OX2");
  decode(Record{}.richness(1));
  EXPECT_EQ(live.airFuel, 65535);
  EXPECT_EQ(live.lambda, 1000000);  // the formatter limits what is shown
  decode(Record{}.richness(2));
  EXPECT_EQ(live.airFuel, 65535);  // 728500 computed, then clamped
  core.monitor.stoichRatio = 0;
  decode(Record{}.richness(2));
  EXPECT_EQ(live.airFuel, 0);
}

TEST_F(MeasurementDecoderTest, HalfWayLambdaRoundsToEven) {
  use("OX2");
  decode(Record{}.richness(640));  // 1562.5
  EXPECT_EQ(live.lambda, 1562);
}

TEST_F(MeasurementDecoderTest, O2IsASignedWord) {
  use("OX2");
  decode(Record{}.word(6, 0xFF38));
  EXPECT_EQ(live.o2, -200);
  EXPECT_EQ(formatFixedValue(live.o2, true, 2), "-2.00");
  decode(Record{}.word(6, 0x8000));
  EXPECT_EQ(live.o2, -32768);
}

TEST_F(MeasurementDecoderTest, LambdaComesFromTheModuleWhileTheFactoryWindowIsOpen) {
  use("OX2");
  core.factory.visible = true;
  decode(Record{}.richness(1000).word(4, 60000));
  EXPECT_EQ(live.lambda, 60000);  // as sent, not limited
  decode(Record{}.richness(0).word(4, 1234));
  EXPECT_EQ(live.lambda, 1234);
}

// ---- Oxalis slow slots ---------------------------------------------------

TEST_F(MeasurementDecoderTest, OxalisSlowSlots) {
  use("OX2");
  decode(Record{}.slowWord(1600), 0x01);
  EXPECT_EQ(live.probeTempC, 1500);
  decode(Record{}.slowWord(780), 0x01);
  EXPECT_EQ(live.probeTempC, 780);

  decode(Record{}.slow(135, 128), 0x02);
  EXPECT_EQ(live.heaterVolt, 135);
  EXPECT_EQ(live.heaterPwm, 128);

  decode(Record{}.slow(138, 60), 0x04);
  EXPECT_EQ(live.batteryVolt, 138);
  EXPECT_EQ(live.internalTempC, 40);
  decode(Record{}.slow(138, 0), 0x04);
  EXPECT_EQ(live.internalTempC, -20);

  decode(Record{}.slow(0x05, 0xFF), 0x20);
  EXPECT_EQ(live.diagFlags, 0x05);
  EXPECT_EQ(live.canErrorFlags, 0x3F);

  decode(Record{}.slow(7, 3), 0x80);
  EXPECT_EQ(live.slewRate, 7);
  EXPECT_EQ(live.canErrorCount, 3);
}

TEST_F(MeasurementDecoderTest, VirtualGroundIsTruncatedAndClamped) {
  use("OX2");
  decode(Record{}.slowWord(1023), 0x08);
  EXPECT_EQ(live.vgndMv, 5000);
  decode(Record{}.slowWord(512), 0x08);
  EXPECT_EQ(live.vgndMv, 2502);  // 2502.44 truncated
  decode(Record{}.slowWord(0xFFFF), 0x08);
  EXPECT_EQ(live.vgndMv, 5000);
}

TEST_F(MeasurementDecoderTest, VsIsMeasuredFromTheVirtualGround) {
  use("OX2");
  live.vgndMv = 2500;
  decode(Record{}.slowWord(600), 0x40);
  EXPECT_EQ(live.vsMv, 432);  // 2932 - 2500
  decode(Record{}.slowWord(0), 0x40);
  EXPECT_EQ(live.vsMv, -2500);  // no lower limit
  live.vgndMv = 0;
  decode(Record{}.slowWord(0xFFFF), 0x40);
  EXPECT_EQ(live.vsMv, 5000);
}

TEST_F(MeasurementDecoderTest, FirstGenerationOldFirmwareSendsHeaterDutyIn256ths) {
  use("OXL");
  core.link.state.identity.fwMajor = 16;
  decode(Record{}.slow(120, 128), 0x02);
  EXPECT_EQ(live.heaterPwm, 50);
  decode(Record{}.slow(120, 255), 0x02);
  EXPECT_EQ(live.heaterPwm, 99);  // truncated
  core.link.state.identity.fwMajor = 17;
  decode(Record{}.slow(120, 128), 0x02);
  EXPECT_EQ(live.heaterPwm, 128);

  use("OX2");  // the second generation always sends percent
  core.link.state.identity.fwMajor = 3;
  decode(Record{}.slow(120, 128), 0x02);
  EXPECT_EQ(live.heaterPwm, 128);
}

TEST_F(MeasurementDecoderTest, ProbeFactorSetsTheProbeTemperatureTooltipOnce) {
  use("OX2");
  decode(Record{}.slowWord(12345), 0x10);
  EXPECT_EQ(live.probeFactor, 12345);
  EXPECT_EQ(core.monitor.livePanel.cells[5].labelTooltip, "KTsonde:  1.2345");
  EXPECT_EQ(panelNotifications, 1);
  decode(Record{}.slowWord(12345), 0x10);
  EXPECT_EQ(panelNotifications, 1);  // same text: nothing to repaint
  decode(Record{}.slowWord(7), 0x10);
  EXPECT_EQ(core.monitor.livePanel.cells[5].labelTooltip, "KTsonde:  0.0007");
  EXPECT_EQ(panelNotifications, 2);
}

TEST_F(MeasurementDecoderTest, ErrorCountGoesToBothCanLampTooltips) {
  use("OXL");
  decode(Record{}.slow(1, 42), 0x80);
  EXPECT_EQ(core.monitor.livePanel.lamps[8].greenTooltip, "Error count = 42");
  EXPECT_EQ(core.monitor.livePanel.lamps[8].redTooltip, "Error count = 42");
  EXPECT_EQ(panelNotifications, 1);
  decode(Record{}.slow(1, 42), 0x80);
  EXPECT_EQ(panelNotifications, 1);
}

TEST_F(MeasurementDecoderTest, RecordsWithoutTooltipsDoNotNotifyThePanel) {
  use("OX2");
  for (int selector : {0x00, 0x01, 0x02, 0x04, 0x08, 0x20, 0x40}) decode(Record{}.slowWord(300), selector);
  EXPECT_EQ(panelNotifications, 0);
}

TEST_F(MeasurementDecoderTest, UnknownSelectorChangesOnlyTheFastFields) {
  use("OX2");
  fillWithMarkers(live);
  LiveValues expected = live;
  const Record record = Record{}.word(0, 100).richness(1000).word(6, 5).slowWord(0x1234).word(10, 9);
  decode(record, 0x03);
  expected.vOutMv = 100;
  expected.richness = 1000;
  expected.lambda = 1000;
  expected.o2 = 5;
  expected.airFuel = 1457;
  expected.channel = {9, 0, 0, 0, expected.channel[4]};  // channels belong to every record
  EXPECT_EQ(allFields(live), allFields(expected));
}

// ---- User channels -------------------------------------------------------

TEST_F(MeasurementDecoderTest, SecondGenerationScalesItsFourChannels) {
  use("OX2");
  fillWithMarkers(live);
  const std::int32_t fifth = live.channel[4];
  ParseChannelLine(core.channels.slot(2), "Speed;0x200;1;2;2;10;0;1;1;0;40000;km/h;255;NO;0");
  ParseChannelLine(core.channels.slot(3), "Big;0x201;1;2;1;0;0;1;0;0;40000;;255;NO;0");
  decode(Record{}.word(10, 0xFFFF).word(12, 100).word(14, 0xFFFF).word(16, 1234));
  EXPECT_EQ(live.channel[0], -1);        // Max 5000: a signed channel
  EXPECT_EQ(live.channel[1], 2100);      // (2*100 + 10) / 1 with one decimal
  EXPECT_EQ(live.channel[2], 65535);     // Max 40000: unsigned
  EXPECT_EQ(live.channel[3], 1234);
  EXPECT_EQ(live.channel[4], fifth);     // four channels only
}

TEST_F(MeasurementDecoderTest, FirstGenerationDecodesNoChannels) {
  use("OXL");
  fillWithMarkers(live);
  const auto channels = live.channel;
  decode(Record{}.word(10, 1).word(12, 2).word(14, 3).word(16, 4));
  EXPECT_EQ(live.channel, channels);
}

// ---- Panora display ------------------------------------------------------

TEST_F(MeasurementDecoderTest, DisplaySlowSlots) {
  use("PNU");
  fillWithMarkers(live);
  const std::int32_t slewRate = live.slewRate;
  const std::int32_t probeTemp = live.probeTempC;

  decode(Record{}.slowWord(4321), 0x01);
  EXPECT_EQ(live.vinMv, 4321);

  decode(Record{}.slow(11, 1), 0x02);
  EXPECT_EQ(live.channelSelect, 11);
  EXPECT_EQ(live.fuelType, 1);

  decode(Record{}.slow(125, 5), 0x04);
  EXPECT_EQ(live.batteryVolt, 125);
  EXPECT_EQ(live.brightnessPct, 100);

  decode(Record{}.slowWord(512), 0x08);
  EXPECT_EQ(live.vluxMv, 2502);  // 2502.44 rounded
  decode(Record{}.slowWord(1), 0x08);
  EXPECT_EQ(live.vluxMv, 5);  // 4.89 rounded up, where Vgnd would truncate
  decode(Record{}.slowWord(1023), 0x08);
  EXPECT_EQ(live.vluxMv, 5000);

  decode(Record{}.slow(0x13, 0xC1), 0x20);
  EXPECT_EQ(live.diagFlags, 0x13);
  EXPECT_EQ(live.canErrorFlags, 0x01);

  decode(Record{}.slowWord(987), 0x40);
  EXPECT_EQ(live.klux, 987);

  decode(Record{}.slow(9, 4), 0x80);
  EXPECT_EQ(live.canErrorCount, 4);
  EXPECT_EQ(live.slewRate, slewRate);  // the display has none
  EXPECT_EQ(core.monitor.livePanel.lamps[8].redTooltip, "Error count = 4");

  EXPECT_EQ(live.probeTempC, probeTemp);  // Oxalis fields stay as they were
}

TEST_F(MeasurementDecoderTest, DisplayBrightnessZeroKeepsTheLastValue) {
  use("PNU");
  decode(Record{}.slow(120, 3), 0x04);
  EXPECT_EQ(live.brightnessPct, 50);
  decode(Record{}.slow(121, 0), 0x04);
  EXPECT_EQ(live.brightnessPct, 50);
  EXPECT_EQ(live.batteryVolt, 121);
  decode(Record{}.slow(120, 1), 0x04);
  EXPECT_EQ(live.brightnessPct, 0);  // shown as "Auto"
}

TEST_F(MeasurementDecoderTest, DisplayChannelsAreRawWordsWithTheSignOfTheirScale) {
  use("PNU");
  ParseChannelLine(core.channels.slot(2), "Oil;0x200;1;2;1;0;0;1;2;0;100;bar;255;NO;0");
  ParseChannelLine(core.channels.slot(4), "Rpm;0x202;1;2;1;0;0;1;0;0;40000;;255;NO;0");
  decode(Record{}.word(10, 0xFFFF).word(12, 1234).word(14, 0x8000).word(16, 0xFFFF).word(18, 0xFFFE));
  EXPECT_EQ(live.channel[0], -1);
  EXPECT_EQ(live.channel[1], 1234);  // two decimals: 12.34 bar, already scaled by the display
  EXPECT_EQ(live.channel[2], -32768);
  EXPECT_EQ(live.channel[3], 65535);
  EXPECT_EQ(live.channel[4], -2);
}

TEST_F(MeasurementDecoderTest, DisplayFifthChannelFromItsWordWinsOverSlotSixteen) {
  use("PNU");
  decode(Record{}.slowWord(0xFFF0).word(18, 77), 0x10);
  EXPECT_EQ(live.channel[4], 77);
  EXPECT_EQ(panelNotifications, 0);  // no probe factor on the display
  EXPECT_EQ(core.monitor.livePanel.cells[5].labelTooltip, "");
}

// ---- Fuel tank drain tool and steering-wheel module ----------------------

TEST_F(MeasurementDecoderTest, DrainToolLayout) {
  use("QTX");
  fillWithMarkers(live);
  LiveValues expected = live;
  Record record;
  for (int i = 0; i < 12; ++i) record.byte(static_cast<std::size_t>(i), 11 * (i + 1));
  record.byte(11, 13);
  decode(record, 0x01);  // the slow slot means nothing here

  expected.vgndMv = 11;           // D0, cell 10
  expected.diagFlags = 22;        // D1
  expected.vsMv = 33;             // D2, cell 11
  expected.batteryVolt = 44;      // D3, cell 7
  expected.vOutMv = 55 * 2;       // D4, cell 0
  expected.richness = 66 * 2;     // D5, cell 1
  expected.lambda = 77 * 2;       // D6, cell 2
  expected.o2 = 88;               // D7, cell 3
  expected.airFuel = 99 * 256 + 110;  // D8D9, cell 4
  expected.internalTempC = 121;   // D10, cell 6
  expected.probeTempC = 3;        // D11 = 13, / 5 rounded, cell 5
  expected.channel = {110, 132, 154, 88, expected.channel[4]};
  EXPECT_EQ(allFields(live), allFields(expected));

  decode(Record{}.byte(11, 12));
  EXPECT_EQ(live.probeTempC, 2);
  decode(Record{}.byte(11, 255));
  EXPECT_EQ(live.probeTempC, 51);
}

TEST_F(MeasurementDecoderTest, SteeringWheelLayout) {
  use("RMW");
  fillWithMarkers(live);
  const std::int32_t fifth = live.channel[4];
  const std::int32_t probeTemp = live.probeTempC;
  decode(Record{}.word(0, 0xFFFF).word(2, 300).word(4, 4000).byte(6, 0x81).byte(7, 200), 0x01);
  EXPECT_EQ(live.channel[0], 65535);  // raw words, no sign rule
  EXPECT_EQ(live.channel[1], 300);
  EXPECT_EQ(live.channel[2], 4000);
  EXPECT_EQ(live.channel[3], 200);
  EXPECT_EQ(live.channel[4], fifth);
  EXPECT_EQ(live.diagFlags, 0x81);
  EXPECT_EQ(live.probeTempC, probeTemp);  // no slow slots
}

TEST_F(MeasurementDecoderTest, UnknownModuleTypeChangesNothing) {
  use("ABC");
  fillWithMarkers(live);
  const auto before = allFields(live);
  decode(Record{}.richness(1000).slow(1, 2), 0x80);
  EXPECT_EQ(allFields(live), before);
  EXPECT_EQ(panelNotifications, 0);
}

// ---- Short records -------------------------------------------------------

TEST_F(MeasurementDecoderTest, ShortRecordReadsMissingBytesAsZero) {
  use("OX2");
  fillWithMarkers(live);
  // Exactly three bytes on the heap, so that a read past them is caught by
  // the address sanitizer.
  const auto bytes = std::make_unique<std::uint8_t[]>(3);
  bytes[0] = 0x13;
  bytes[1] = 0x88;
  bytes[2] = 0x03;
  decodeMeasurement(core.monitor, std::span<const std::uint8_t>(bytes.get(), 3), 0x80, false);
  EXPECT_EQ(live.vOutMv, 5000);
  EXPECT_EQ(live.richness, 768);  // D3 missing
  EXPECT_EQ(live.o2, 0);
  EXPECT_EQ(live.canErrorCount, 0);
  EXPECT_EQ(live.channel[0], 0);
  EXPECT_EQ(core.monitor.livePanel.lamps[8].greenTooltip, "Error count = 0");

  decodeMeasurement(core.monitor, {}, 0x10, false);
  EXPECT_EQ(live.lambda, 99999);
  EXPECT_EQ(live.probeFactor, 0);
}

TEST_F(MeasurementDecoderTest, ShortRecordsOfEveryLayoutStayInsideTheirBytes) {
  for (const char* type : {"OXL", "OX2", "PNU", "QTX", "RMW"}) {
    use(type);
    for (std::size_t size = 0; size < 20; ++size) {
      const auto bytes = std::make_unique<std::uint8_t[]>(size + 1);  // never zero-sized
      for (std::size_t i = 0; i < size; ++i) bytes[i] = 0xFF;
      for (int selector = 1; selector <= 0x80; selector <<= 1)
        decodeMeasurement(core.monitor, std::span<const std::uint8_t>(bytes.get(), size), static_cast<std::uint8_t>(selector),
                          false);
    }
  }
  use("PNU");
  decode(Record{}.word(18, 5));
  Record eighteen = Record{}.slowWord(0x1234);
  eighteen.bytes.resize(18);
  decode(eighteen, 0x10);
  EXPECT_EQ(live.channel[4], 0);  // missing D18-D19 read as zero
}

// ---- Wiring --------------------------------------------------------------

TEST_F(MeasurementDecoderTest, RecordsFromTheLinkAreDecoded) {
  use("OX2");
  port.open(1);
  core.link.state.linkUp = true;
  Record record = Record{}.richness(850).slow(3, 9);
  record.bytes.resize(18);  // the OX2 layout
  test::feed(core, BuildRecord(0x13, 0x0580, std::string(record.bytes.begin(), record.bytes.end())));
  EXPECT_TRUE(core.link.state.freshSample);
  EXPECT_EQ(live.lambda, 1176);
  EXPECT_EQ(live.canErrorCount, 9);
  EXPECT_EQ(core.monitor.livePanel.lamps[8].redTooltip, "Error count = 9");
}

// ---- Channel scaling -----------------------------------------------------

TEST(ScaleChannel, ScaleBelow32768MakesTheChannelSigned) {
  EXPECT_EQ(scaleChannel(0xFFFF, 1, 0, 0, 1, 0, 1000), -1);
  EXPECT_EQ(scaleChannel(0xFFFF, 1, 0, 0, 1, 0, 40000), 65535);
  EXPECT_EQ(scaleChannel(0x8000, 1, 0, 0, 1, 0, 32767.5), -32768);
  EXPECT_EQ(scaleChannel(0x8000, 1, 0, 0, 1, 0, 32768), 32768);
  EXPECT_EQ(scaleChannel(0x7FFF, 1, 0, 0, 1, 0, 0), 32767);
}

TEST(ScaleChannel, LinearAndRationalCurvesCarryTheDecimals) {
  EXPECT_EQ(scaleChannel(1234, 1, 0, 0, 1, 2, 40000), 123400);
  EXPECT_EQ(scaleChannel(100, 0.5, -20, 0, 1, 1, 40000), 300);  // 30.0
  EXPECT_EQ(scaleChannel(8, 0, 1000, 1, 0, 0, 40000), 125);      // 1000 / raw
  EXPECT_EQ(scaleChannel(3, 1, 0, 0, 2, 0, 40000), 2);           // 1.5: ties to even
  EXPECT_EQ(scaleChannel(5, 1, 0, 0, 2, 0, 40000), 2);           // 2.5
  EXPECT_EQ(scaleChannel(7, 1, 0, 0, 2, 0, 40000), 4);           // 3.5
  EXPECT_EQ(scaleChannel(0xFFFD, 1, 0, 0, 2, 0, 1000), -2);      // -1.5
}

TEST(ScaleChannel, ZeroDivisorAndHugeResultsStayInRange) {
  EXPECT_EQ(scaleChannel(10, 1, 0, 0, 0, 0, 40000), 99999);
  EXPECT_EQ(scaleChannel(0, 0, 1, 1, 0, 3, 40000), 99999);
  EXPECT_EQ(scaleChannel(65535, 32767, 32767, 0, 1, 255, 40000), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(scaleChannel(65535, -32768, 0, 0, 1, 3, 40000), std::numeric_limits<std::int32_t>::min());
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(scaleChannel(1, inf, 0, 0, inf, 0, 40000), 0);  // not a number
}

TEST(UnscaleChannel, InvertsTheScaleWithinTheRawRange) {
  EXPECT_EQ(unscaleChannel(2500, 1, 0, 0, 1), 2500);
  EXPECT_EQ(unscaleChannel(30, 0.5, -20, 0, 1), 100);
  EXPECT_EQ(unscaleChannel(125, 0, 1000, 1, 0), 8);
  for (int raw : {0, 1, 77, 4000, 65535}) {
    const double physical = (3.0 * raw + 40) / (0.0001 * raw + 2);
    EXPECT_EQ(unscaleChannel(physical, 3, 40, 0.0001, 2), raw) << raw;
  }
  EXPECT_EQ(unscaleChannel(2.5, 1, 0, 0, 1), 2);  // ties to even
  EXPECT_EQ(unscaleChannel(-5, 1, 0, 0, 1), 0);
  EXPECT_EQ(unscaleChannel(70000, 1, 0, 0, 1), 65535);
  EXPECT_EQ(unscaleChannel(10, 0, 0, 0, 1), 65535);  // zero divisor: 99999
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(unscaleChannel(inf, 1, inf, 0, 1), 0);  // not a number
}

}  // namespace
}  // namespace oxalis
