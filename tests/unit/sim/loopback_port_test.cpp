// The in-process serial port between the tool and simulated modules.
#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/LoopbackPort.h"

namespace oxalis::sim {
namespace {

using namespace test;
using std::chrono::milliseconds;

class LoopbackPortTest : public ::testing::Test {
 protected:
  LoopbackPortTest() {
    port.attach(3, module3);
    port.attach(7, module7);
    port.setByteHandler([this](std::uint8_t b) { received.push_back(static_cast<char>(b)); });
    port.setLostHandler([this] { ++lost; });
  }
  static SimOptions Serial(std::uint16_t serial) {
    SimOptions o;
    o.serial = serial;
    return o;
  }

  ModuleSimulator module3{Serial(3)};
  ModuleSimulator module7{Serial(7)};
  LoopbackPort port;
  std::string received;
  int lost = 0;
};

TEST_F(LoopbackPortTest, OpensPortsWithAModuleAndReportsOthersAbsent) {
  EXPECT_EQ(port.open(3), PortOpenResult::Ok);
  EXPECT_TRUE(port.isOpen());
  EXPECT_EQ(port.openPort(), 3);
  EXPECT_EQ(port.open(4), PortOpenResult::Absent);
  EXPECT_FALSE(port.isOpen());
  EXPECT_NE(port.lastOpenError().find("COM4"), std::string::npos);
  port.setOpenResult(7, PortOpenResult::Busy);
  port.setOpenResult(9, PortOpenResult::PermissionDenied);
  EXPECT_EQ(port.open(7), PortOpenResult::Busy);
  EXPECT_EQ(port.open(9), PortOpenResult::PermissionDenied);
  EXPECT_FALSE(port.isOpen());
}

TEST_F(LoopbackPortTest, WritesReachOnlyTheOpenPortsModule) {
  EXPECT_FALSE(port.write(kIdentify));
  port.open(7);
  EXPECT_TRUE(port.write(kIdentify + "\x11"));
  EXPECT_EQ(port.written, kIdentify + "\x11");
  EXPECT_EQ(module3.takeOutput(), "");
  port.deliver();
  const auto reply = RecordsOf(received, 0x12);
  ASSERT_EQ(reply.size(), 1u);
  EXPECT_EQ(reply[0].address, 7);
  EXPECT_EQ(received.back(), '\x11');
  port.deliver();  // nothing twice
  EXPECT_EQ(RecordsOf(received, 0x12).size(), 1u);
}

TEST_F(LoopbackPortTest, AdvanceDeliversTheStreamOfTheOpenPortAndLosesTheRest) {
  port.open(3);
  port.write(kStartFrames);
  module7.receive(kStartFrames);  // streaming into a closed port
  port.advance(milliseconds(1000));
  EXPECT_EQ(RecordsOf(received, 0x13).size(), 50u);
  received.clear();
  // On port 7 only what it sends after the open arrives.
  port.open(7);
  port.advance(milliseconds(100));
  const auto records = RecordsOf(received, 0x13);
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0].addressHigh(), 51);
  for (const Sent& r : records) EXPECT_TRUE(r.checksumOk);
}

TEST_F(LoopbackPortTest, HandlerMayWriteBackAndRepliesComeWithTheNextDelivery) {
  // A tool that sends the next request on every XON, like the transmit queue.
  std::vector<std::string> queue = {ReadParams(0x0A, 1), ReadParams(0x2C, 2), kTimeRequest};
  port.setByteHandler([&](std::uint8_t b) {
    received.push_back(static_cast<char>(b));
    if (b == kXon && !queue.empty()) {
      port.write(queue.front());
      queue.erase(queue.begin());
    }
  });
  port.open(3);
  port.write(kIdentify);
  port.deliver();
  EXPECT_EQ(RecordsOf(received, 0x12).size(), 1u);
  EXPECT_EQ(RecordsOf(received, 0x10).size(), 0u);  // its reply waits for the next delivery
  port.advance(milliseconds(5));
  EXPECT_TRUE(queue.empty());
  const auto params = RecordsOf(received, 0x10);
  ASSERT_EQ(params.size(), 2u);
  EXPECT_EQ(params[0].addressLow(), 0x0A);
  EXPECT_EQ(params[1].addressLow(), 0x2C);
  EXPECT_EQ(RecordsOf(received, 0x15).size(), 1u);
}

TEST_F(LoopbackPortTest, DeliveryStopsWhenTheHandlerClosesOrSwitchesPorts) {
  port.setByteHandler([&](std::uint8_t b) {
    received.push_back(static_cast<char>(b));
    if (received.size() == 3) port.open(7);  // the port search moves on mid-reply
  });
  port.open(3);
  port.write(kIdentify);
  port.deliver();
  EXPECT_EQ(received, ":07");
  EXPECT_EQ(port.openPort(), 7);
  received.clear();
  port.deliver();
  EXPECT_EQ(received, "");  // port 3's reply does not turn up on port 7

  port.setByteHandler([&](std::uint8_t b) {
    received.push_back(static_cast<char>(b));
    port.close();
  });
  port.write(kIdentify);
  port.deliver();
  EXPECT_EQ(received, ":");
}

TEST_F(LoopbackPortTest, NestedDeliveryFromTheHandlerDoesNothing) {
  port.setByteHandler([&](std::uint8_t b) {
    received.push_back(static_cast<char>(b));
    port.deliver();
  });
  port.open(3);
  port.write(kIdentify + kTimeRequest);
  port.deliver();
  const auto items = SplitOutput(received);
  ASSERT_EQ(items.size(), 4u);  // both replies, each followed by XON, in order
  EXPECT_EQ(items[0].type, 0x12);
  EXPECT_EQ(items[2].type, 0x15);
}

TEST_F(LoopbackPortTest, UnplugLosesThePortUntilPluggedBackIn) {
  port.unplug();  // nothing open: nothing lost
  EXPECT_EQ(lost, 0);
  port.open(3);
  port.unplug();
  EXPECT_EQ(lost, 1);
  EXPECT_FALSE(port.isOpen());
  EXPECT_FALSE(port.write(kIdentify));
  EXPECT_EQ(port.open(3), PortOpenResult::Absent);
  EXPECT_EQ(port.open(7), PortOpenResult::Ok);  // another adapter is still there
  port.plugIn(3);
  EXPECT_EQ(port.open(3), PortOpenResult::Ok);
  EXPECT_TRUE(port.write(kIdentify));
  EXPECT_EQ(lost, 1);
}

TEST_F(LoopbackPortTest, ScriptedOkWithoutAModuleSwallowsWrites) {
  port.setOpenResult(12, PortOpenResult::Ok);
  EXPECT_EQ(port.open(12), PortOpenResult::Ok);
  EXPECT_TRUE(port.write(kIdentify));
  port.advance(milliseconds(50));
  EXPECT_EQ(received, "");
}

}  // namespace
}  // namespace oxalis::sim
