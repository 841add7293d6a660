// Faults of the simulated module and what the tool would see of them.
#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/ModuleSimulator.h"

namespace oxalis::sim {
namespace {

using namespace test;
using std::chrono::seconds;

SimOptions WithFaults(const SimFaults& faults) {
  SimOptions o;
  o.faults = faults;
  return o;
}

// Identification, then one second of stream.
std::string Session(ModuleSimulator& sim) {
  sim.receive(kIdentify + "\x11" + kStartFrames);
  sim.advance(seconds(1));
  return sim.takeOutput();
}

TEST(Faults, CorruptedBytesDifferFromTheCleanOnesAndBreakChecksums) {
  ModuleSimulator clean, always(WithFaults({.corruptProbability = 1.0})),
      sometimes(WithFaults({.corruptProbability = 0.01}));
  const std::string expected = Session(clean);
  const std::string everyByte = Session(always);
  ASSERT_EQ(everyByte.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NE(everyByte[i], expected[i]) << i;

  const std::string some = Session(sometimes);
  ASSERT_EQ(some.size(), expected.size());
  std::size_t changed = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) changed += some[i] != expected[i];
  EXPECT_GT(changed, 0u);
  EXPECT_LT(changed, expected.size() / 20);
}

TEST(Faults, DroppedBytesShortenTheOutput) {
  ModuleSimulator clean, never(WithFaults({.dropProbability = 1.0})), half(WithFaults({.dropProbability = 0.5}));
  const std::size_t full = Session(clean).size();
  EXPECT_EQ(Session(never), "");
  const std::size_t kept = Session(half).size();
  EXPECT_GT(kept, full / 3);
  EXPECT_LT(kept, 2 * full / 3);
}

TEST(Faults, ChecksumErrorRepliesRejectIntactRecords) {
  ModuleSimulator sim(WithFaults({.checksumErrorProbability = 1.0}));
  sim.receive(kStartFrames);
  EXPECT_EQ(sim.takeOutput(), "\xC3\x11");
  sim.advance(seconds(1));
  EXPECT_FALSE(sim.streaming());
  EXPECT_EQ(sim.takeOutput(), "");

  // Some of many: each rejected record is answered C3 and XON, the others
  // with their reply and XON.
  ModuleSimulator some(WithFaults({.checksumErrorProbability = 0.3}));
  int rejected = 0, answered = 0;
  for (int i = 0; i < 200; ++i) {
    some.receive(kTimeRequest);
    const auto items = SplitOutput(some.takeOutput());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].single, kXon);
    if (items[0].record) {
      ++answered;
    } else {
      EXPECT_EQ(items[0].single, kChecksumError);
      ++rejected;
    }
  }
  EXPECT_GT(rejected, 30);
  EXPECT_GT(answered, 100);
}

TEST(Faults, WithheldXonLeavesRepliesAndStreamAlone) {
  ModuleSimulator sim(WithFaults({.withholdXon = true}));
  const auto items = SplitOutput(Session(sim));
  for (const Sent& s : items) EXPECT_TRUE(s.record) << int(s.single);
  EXPECT_EQ(RecordsOf(Session(sim), 0x13).size(), 50u);
  // A write is still acted upon.
  sim.receive(kEepromArea + Request(0x00, 0x0A, Bytes({1})));
  EXPECT_EQ(sim.takeOutput(), "");
  EXPECT_EQ(sim.configuration()[0x0A], 1);
}

TEST(Faults, SilentModuleSendsNothingIgnoresEverythingAndKeepsItsClock) {
  SimOptions options = WithFaults({.silent = true});
  options.usedTime = 0;
  ModuleSimulator sim(options);
  EXPECT_EQ(Session(sim), "");
  EXPECT_FALSE(sim.streaming());
  sim.receive(kEepromArea + Request(0x00, 0x0A, Bytes({1})));
  EXPECT_EQ(sim.configuration()[0x0A], 3);
  EXPECT_EQ(sim.runningTime(), 100u);
  // Speaking again at run time.
  sim.setFaults({});
  EXPECT_EQ(RecordsOf(Session(sim), 0x12).size(), 1u);
}

TEST(Faults, StreamStartedBeforeSilenceIsSilencedAndResumesWithASequenceGap) {
  ModuleSimulator sim;
  Session(sim);
  sim.setFaults({.silent = true});
  sim.advance(seconds(1));
  EXPECT_EQ(sim.takeOutput(), "");
  sim.setFaults({});
  sim.advance(std::chrono::milliseconds(20));
  const auto records = RecordsOf(sim.takeOutput(), 0x13);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].addressHigh(), 101);  // 50 records were lost on the way
}

}  // namespace
}  // namespace oxalis::sim
