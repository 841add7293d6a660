// Damaged records that the 8-bit checksum lets through, and input the
// receiver cannot hold: dropped, counted, and the receiver ready for the
// next record at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Feed.h"
#include "LinkFixture.h"
#include "link/ModuleTypes.h"
#include "link/ReceiveParser.h"

namespace oxalis {
namespace {

using test::feed;
using test::measurementRecord;

class DamagedRecords : public ::testing::Test, public test::LinkFixture {
 protected:
  void SetUp() override {
    port.open(1);
    link.state.identity.deviceCode = "OX2";
    link.state.linkUp = true;
    factory.visible = true;
  }
  const RxState& rx = link.state.rx;
  std::vector<std::vector<std::uint8_t>>& measurements = events.measurements;
};

// Byte sum of a record text, checksum included: 0 for a record that passes.
unsigned byteSum(const std::string& record) {
  unsigned sum = 0;
  for (std::size_t i = 1; i + 1 < record.size(); i += 2) sum += HexToByte(record.substr(i, 2));
  return sum % 256;
}

TEST_F(DamagedRecords, CompensatingByteErrorsPassTheChecksum) {
  // 03E8 turned into 04E7: one byte up, the next one down, the sum unchanged.
  const std::string good = ":1205011309C403E803E800000000000000000000000032";
  const std::string damaged = ":1205011309C404E703E800000000000000000000000032";
  EXPECT_EQ(byteSum(good), 0u);
  EXPECT_EQ(byteSum(damaged), 0u);
  feed(link, good + damaged);
  // Both are whole OX2 records of the right length and reach the decoder.
  ASSERT_EQ(measurements.size(), 2u);
  EXPECT_EQ(measurements[1][2], 0x04);
  EXPECT_EQ(rx.droppedRecords, 0u);
}

TEST_F(DamagedRecords, MeasurementOfAnotherLengthThanItsTypeIsDroppedAndCounted) {
  for (const ModuleType& type : kModuleTypes) {
    link.state.identity.deviceCode = type.code;
    link.state.rx = RxState{};
    measurements.clear();
    const std::size_t length = type.measurementBytes;
    feed(link, measurementRecord(1, 1, length) + measurementRecord(2, 1, length - 1) +
                   measurementRecord(3, 1, length + 1) + measurementRecord(4, 1, length));
    EXPECT_EQ(measurements.size(), 2u) << type.code;
    EXPECT_EQ(rx.droppedRecords, 2u) << type.code;
  }
  EXPECT_EQ(rx.lostFrames, 0u);  // RMW does not number its records
  EXPECT_NE(factory.W_Log.find("Record dropped, 7 bytes for RMW (8 expected) : " + measurementRecord(2, 1, 7)),
            std::string::npos);
  link.state.identity.deviceCode = "OX2";
  feed(link, measurementRecord(5, 1) + measurementRecord(6, 1, 20) + measurementRecord(7, 1));
  EXPECT_EQ(rx.lostFrames, 1u);  // the dropped record is a lost frame
}

TEST_F(DamagedRecords, AFrameWithAnythingButHexDigitsIsDroppedAtOnce) {
  const std::string record = measurementRecord(5, 1);
  // A letter beyond F, lower case, a line break, a byte with the top bit set.
  for (const char bad : {'G', 'e', '\n', '\xA5'}) {
    for (std::size_t at : {2u, 20u}) {
      link.state.rx = RxState{};
      measurements.clear();
      std::string damaged = record;
      damaged[at] = bad;
      feed(link, damaged.substr(0, at + 1));
      EXPECT_TRUE(link.state.rxIdle) << at;  // at once, not at the record's end
      feed(link, damaged.substr(at + 1) + record);
      EXPECT_EQ(measurements.size(), 1u) << at;  // only the next, whole record
      EXPECT_EQ(rx.droppedRecords, 1u) << at;
    }
  }
  EXPECT_NE(factory.W_Log.find("Record dropped, not hexadecimal : :1G"), std::string::npos);
}

TEST_F(DamagedRecords, AHeaderLongerThanTheReceiverHoldsResetsItAtOnce) {
  const auto longest = static_cast<std::size_t>(ReceiveParser::kMaxReceivedLength);
  feed(link, BuildRecord(0x11, 0x0E00, std::string(longest, '\x7F')));
  EXPECT_EQ(events.memoryBlocks.size(), 1u);  // the longest it holds still parses
  feed(link, ":7B");
  EXPECT_TRUE(link.state.rxIdle);
  EXPECT_EQ(rx.droppedRecords, 1u);
  feed(link, std::string(1 << 20, '0'));  // a megabyte does not grow the frame
  EXPECT_EQ(rx.rxLine, ":7B");
  feed(link, measurementRecord(0, 1));
  EXPECT_EQ(measurements.size(), 1u);
}

}  // namespace
}  // namespace oxalis
