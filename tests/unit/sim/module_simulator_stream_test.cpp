// The measurement stream of the simulated module over simulated time.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "SimTestSupport.h"
#include "sim/ModuleMemory.h"
#include "sim/ModuleSimulator.h"

namespace oxalis::sim {
namespace {

using namespace test;
using std::chrono::milliseconds;
using std::chrono::seconds;

SimOptions Device(const char* code) {
  SimOptions o;
  o.device = code;
  return o;
}

// Starts the stream and returns the measurement records of the next `time`.
std::vector<Sent> Stream(ModuleSimulator& sim, milliseconds time) {
  sim.receive(kStartFrames);
  sim.advance(time);
  return RecordsOf(sim.takeOutput(), 0x13);
}

std::vector<Sent> Slot(const std::vector<Sent>& records, std::uint8_t selector) {
  std::vector<Sent> out;
  std::copy_if(records.begin(), records.end(), std::back_inserter(out),
               [selector](const Sent& r) { return r.addressLow() == selector; });
  return out;
}

// The tool's lost-frame rule: a sequence byte other than 0 must be the
// previous one plus 1, counted without wrapping.
int LostFrameReports(const std::vector<Sent>& records, int previous = 0) {
  int reports = 0;
  for (const Sent& r : records) {
    if (r.addressHigh() != 0 && r.addressHigh() != previous + 1) ++reports;
    previous = r.addressHigh();
  }
  return reports;
}

TEST(Stream, FiftyRecordsPerSecondWithCountingSequenceAndRotatingSlots) {
  ModuleSimulator sim;
  const auto records = Stream(sim, seconds(1));
  ASSERT_EQ(records.size(), 50u);
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_TRUE(records[i].checksumOk) << records[i].text;
    EXPECT_EQ(records[i].addressHigh(), i + 1);
    EXPECT_EQ(records[i].addressLow(), 1 << (i % 8));
  }
  EXPECT_EQ(sim.takeOutput(), "");
}

TEST(Stream, StartsOnlyOnRequestAndStopsOnStopFrames) {
  ModuleSimulator sim;
  sim.advance(seconds(2));
  EXPECT_EQ(sim.takeOutput(), "");
  EXPECT_EQ(Stream(sim, milliseconds(100)).size(), 5u);
  sim.receive(kStopFrames);
  EXPECT_FALSE(sim.streaming());
  sim.advance(seconds(1));
  EXPECT_EQ(sim.takeOutput(), "\x11");
  // A second start while running keeps the same pace.
  sim.receive(kStartFrames);
  sim.advance(milliseconds(50));
  sim.receive(kStartFrames);
  sim.advance(milliseconds(50));
  EXPECT_EQ(RecordsOf(sim.takeOutput(), 0x13).size(), 5u);
}

TEST(Stream, SequencePassesThroughZeroAndAcrossRestartsWithoutLostFrameReports) {
  ModuleSimulator sim;
  auto records = Stream(sim, milliseconds(20 * 300));
  ASSERT_EQ(records.size(), 300u);
  EXPECT_EQ(records[254].addressHigh(), 255);
  EXPECT_EQ(records[255].addressHigh(), 0);
  EXPECT_EQ(records[256].addressHigh(), 1);
  sim.receive(kStopFrames);
  sim.advance(seconds(3));
  const auto more = Stream(sim, seconds(1));
  records.insert(records.end(), more.begin(), more.end());
  EXPECT_EQ(LostFrameReports(records), 0);
}

struct LayoutCase {
  const char* device;
  std::size_t dataLength;
};

class StreamLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(StreamLayout, EveryRecordHasTheLengthOfItsType) {
  ModuleSimulator sim(Device(GetParam().device));
  const auto records = Stream(sim, seconds(1));
  ASSERT_EQ(records.size(), 50u);
  for (const Sent& r : records) {
    EXPECT_EQ(r.data.size(), GetParam().dataLength) << r.text;
    EXPECT_TRUE(r.checksumOk);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryType, StreamLayout,
                         ::testing::Values(LayoutCase{"OXL", 10}, LayoutCase{"OX2", 18}, LayoutCase{"PNU", 20},
                                           LayoutCase{"QTX", 12}, LayoutCase{"RMW", 8}),
                         [](const auto& info) { return std::string(info.param.device); });

TEST(Stream, SameSeedGivesTheSameRecordsAndAnotherSeedOthers) {
  SimOptions a, b, c;
  c.seed = 99;
  ModuleSimulator x(a), y(b), z(c);
  const auto rx = Stream(x, seconds(20)), ry = Stream(y, seconds(20)), rz = Stream(z, seconds(20));
  ASSERT_EQ(rx.size(), ry.size());
  for (std::size_t i = 0; i < rx.size(); ++i) EXPECT_EQ(rx[i].text, ry[i].text);
  EXPECT_NE(rx.back().text, rz.back().text);
}

TEST(ProbeWarmUp, WarmUpBitAndSubstituteValuesUntilTheProbeIsHot) {
  ModuleSimulator sim;
  const auto records = Stream(sim, seconds(20));
  ASSERT_EQ(records.size(), 1000u);
  const auto diag = Slot(records, 0x20);
  const auto temp = Slot(records, 0x01);
  // Bit 0 set during the first 14 s, clear from 16 s on; no other fault.
  for (std::size_t i = 0; i < diag.size(); ++i) {
    const double t = 0.02 * 8 * (static_cast<double>(i) + 1);  // every eighth record carries the slot
    if (t < 14.0) {
      EXPECT_EQ(diag[i].data[8], 0x01) << t;
    } else if (t > 16.0) {
      EXPECT_EQ(diag[i].data[8], 0x00) << t;
    }
    EXPECT_EQ(diag[i].data[9], 0x00);  // no CAN error
  }
  // Probe temperature rises from ambient to about 780 degrees C.
  EXPECT_LT(temp.front().word(8), 100u);
  for (std::size_t i = 1; i < temp.size() && i < 90; ++i) EXPECT_GE(temp[i].word(8), temp[i - 1].word(8));
  EXPECT_NEAR(temp.back().word(8), 780.0, 10.0);
  // While warming up: Vout on invalid measurement and richness 1.000.
  EXPECT_EQ(records[10].word(0), 2500u);
  EXPECT_EQ(records[10].word(2), 1000u);
}

TEST(Richness, SwingsAndTheOtherFastValuesFollowIt) {
  ModuleSimulator sim;
  auto records = Stream(sim, seconds(40));
  records.erase(records.begin(), records.begin() + 50 * 16);  // probe hot
  unsigned low = 2000, high = 0;
  for (const Sent& r : records) {
    const unsigned richness = r.word(2);
    low = std::min(low, richness);
    high = std::max(high, richness);
    EXPECT_NEAR(r.word(4), 1e6 / richness, 0.5 + 1e6 / richness / richness);  // lambda
    const auto o2 = static_cast<std::int16_t>(r.word(6));
    if (richness < 990) {
      EXPECT_GT(o2, 0) << r.text;  // lean: oxygen left over
    } else if (richness > 1010) {
      EXPECT_LT(o2, 0) << r.text;
    }
  }
  EXPECT_LT(low, 850u);
  EXPECT_GT(high, 1150u);
  // Output voltage falls as richness rises (the factory curve).
  std::sort(records.begin(), records.end(), [](const Sent& a, const Sent& b) { return a.word(2) < b.word(2); });
  for (std::size_t i = 1; i < records.size(); ++i) EXPECT_LE(records[i].word(0), records[i - 1].word(0));
}

TEST(Richness, OutputVoltageFollowsTheTableInProgramMemory) {
  ModuleSimulator sim;
  // A flat table: every point gives 1234 mV.
  std::string outBlock;
  for (int k = 0; k < 16; ++k) outBlock += Bytes({1234 & 0xFF, 1234 >> 8});
  sim.receive(kProgramArea + Request(0x00, 0x0E40, outBlock) + Request(0x00, 0x0E60, outBlock));
  auto records = Stream(sim, seconds(18));
  records.erase(records.begin(), records.begin() + 50 * 16);
  for (const Sent& r : records) EXPECT_EQ(r.word(0), 1234u);
}

TEST(SlowSlots, LambdaControllerReportsBelievableValues) {
  ModuleSimulator sim;
  auto records = Stream(sim, seconds(20));
  const Sent heater = Slot(records, 0x02).back();
  EXPECT_GT(heater.data[9], 20);  // regulating duty cycle, %
  EXPECT_LT(heater.data[9], 80);
  const Sent power = Slot(records, 0x04).back();
  EXPECT_NEAR(power.data[8], 138, 2);                                       // battery 13.8 V
  EXPECT_NEAR(power.data[9] - 20, 35, 10);                                  // internal temperature
  EXPECT_NEAR(Slot(records, 0x08).back().word(8) * 5000 / 1023, 2500, 15);  // virtual ground
  const unsigned vs = Slot(records, 0x40).back().word(8) * 5000 / 1023;
  EXPECT_NEAR(vs, 2950, 20);                         // Vs 450 mV above the virtual ground
  EXPECT_EQ(Slot(records, 0x80).back().data[9], 0);  // CAN error count
}

TEST(SlowSlots, EarlyFirstGenerationFirmwareSendsHeaterDutyIn256ths) {
  SimOptions early = Device("OXL"), later = Device("OXL");
  early.version = ModuleVersion{.hwMajor = 12, .fwMajor = 16};
  ModuleSimulator a(early), b(later);
  // At full power during warm-up.
  EXPECT_EQ(Slot(Stream(a, seconds(1)), 0x02).front().data[9], 255);
  EXPECT_EQ(Slot(Stream(b, seconds(1)), 0x02).front().data[9], 100);
}

TEST(CanChannels, RawWordsFollowTheConfiguredCoefficientsTakenOverAtReload) {
  ModuleSimulator sim;
  auto records = Stream(sim, seconds(2));
  for (const Sent& r : records) {
    EXPECT_GE(r.word(10), 600u);  // engine speed, rpm
    EXPECT_LE(r.word(10), 4400u);
    EXPECT_LE(r.word(12), 1000u);               // throttle, 0.1 %
    EXPECT_NEAR(r.word(14) - 40.0, 20.0, 3.0);  // coolant, cold engine
    EXPECT_GE(r.word(16), 200u);                // manifold pressure, 0.1 kPa
    EXPECT_LE(r.word(16), 1050u);
  }
  // Channel 1 reconfigured as raw = rpm / 4 (A = 4): not before the reload.
  sim.receive(kEepromArea + Request(0x00, 0x90, Bytes({0, 4})));
  sim.advance(seconds(1));
  EXPECT_GE(RecordsOf(sim.takeOutput(), 0x13).back().word(10), 600u);
  sim.receive(Reload(3));
  sim.advance(seconds(1));
  for (const Sent& r : RecordsOf(sim.takeOutput(), 0x13)) EXPECT_LE(r.word(10), 1100u);
}

TEST(CanChannels, DisplaySendsScaledValuesAndReportsItsSettingsAfterReload5) {
  ModuleSimulator sim(Device("PNU"));
  auto records = Stream(sim, seconds(2));
  for (const Sent& r : records) {
    EXPECT_LE(r.word(12), 1000u);      // throttle with one decimal
    EXPECT_EQ(r.word(18), r.word(0));  // channel 5 is the analogue input, mV
  }
  const Sent settings = Slot(records, 0x02).back();
  EXPECT_EQ(settings.data[8], 0);                       // channel shown: richness
  EXPECT_EQ(Slot(records, 0x04).back().data[9], 1);     // brightness Auto
  EXPECT_EQ(Slot(records, 0x20).back().data[8], 0x04);  // richness from the analogue input
  // "Lambda" chosen in the channel list: area, one byte at 0x0C, reload 5.
  sim.receive(kEepromArea + ":01000C0001F2" + Reload(5));
  sim.advance(seconds(1));
  EXPECT_EQ(Slot(RecordsOf(sim.takeOutput(), 0x13), 0x02).back().data[8], 1);
}

TEST(OtherModules, DrainToolAndSteeringWheelSendTheirOwnLayouts) {
  ModuleSimulator qtx(Device("QTX")), rmw(Device("RMW"));
  const auto q = Stream(qtx, seconds(3));
  EXPECT_EQ(q.front().data[1], 0x04);  // inrush delay at first
  EXPECT_EQ(q.back().data[1], 0x00);
  EXPECT_NEAR(q.back().data[3], 136, 4);     // battery, 0.1 V
  EXPECT_NEAR(q.back().data[4] * 2, 42, 5);  // pump current 4.2 A, sent halved
  const auto r = Stream(rmw, seconds(1));
  EXPECT_GE(r.back().word(0), 600u);  // engine speed
  EXPECT_EQ(r.back().data[6], 0);     // no diagnostic flag
}

}  // namespace
}  // namespace oxalis::sim
