#include "link/Requests.h"
#include "monitor/LivePanel.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"

namespace oxalis {
namespace {

using test::CoreFixture;

TEST(RequestRecords, MatchTheModuleProtocol) {
  EXPECT_EQ(records::Identify(), ":00000012EE");
  EXPECT_EQ(records::StartFrames(), ":00000113EC");
  EXPECT_EQ(records::StopFrames(), ":00000013ED");
  EXPECT_EQ(records::TimeRequest(), ":00000015EB");
  EXPECT_EQ(records::ReadParams(0x0A, 1), ":00010A10E5");
  EXPECT_EQ(records::ReadParams(0x2C, 2), ":00022C10C2");
  EXPECT_EQ(records::ReadMemory(0x0050, 1), ":01005011019D");
  EXPECT_EQ(records::ReadMemory(0x0E20, 32), ":010E201120A0");
  EXPECT_EQ(records::ReloadRequest(5), ":00000514E7");
  EXPECT_EQ(records::WriteParams(0x0C, std::string(1, '\x02')), ":01000C0002F1");
  EXPECT_EQ(records::WriteParams(0x40, ""), ":00004000C0");
  EXPECT_EQ(records::WriteParams(0x34, "\x03\xE8"), ":0200340003E8DF");
  EXPECT_EQ(records::WriteMemory(0x0E00, std::string("\x01\x02\xFF", 3)), ":030E00000102FFED");
}

class CommandSetTest : public ::testing::Test, public CoreFixture {
 protected:
  // Sends everything queued, as a module answering XON after each record would.
  std::vector<std::string> drain() {
    std::vector<std::string> sent;
    while (!core.link.queue.isEmpty()) {
      core.link.queue.onXon();
      sent.push_back(port.take());
    }
    return sent;
  }
};

TEST_F(CommandSetTest, IdentifyWithClosedPortSendsAndQueuesNothing) {
  core.link.commands.identify();
  EXPECT_EQ(port.written, "");
  EXPECT_TRUE(core.link.queue.isEmpty());
}

TEST_F(CommandSetTest, IdentifyDuringSearchWritesDirectlyWithXonThenQueuesStoredLevelRead) {
  port.open(3);
  core.link.commands.identify();
  EXPECT_EQ(port.take(), ":00000012EE\x11");
  core.link.state.linkUp = true;  // the module answered
  EXPECT_EQ(drain(), std::vector<std::string>{":00010A10E5"});
}

TEST_F(CommandSetTest, IdentifyWithFactoryWindowAlsoReadsCalibrationOffsets) {
  port.open(3);
  core.link.state.linkUp = true;
  core.factory.visible = true;
  core.link.commands.identify();
  EXPECT_EQ(drain(), (std::vector<std::string>{":00000012EE\x11", ":00010A10E5", ":00023410BA", ":00023610B8",
                                                ":00012810C7", ":00012A10C5", ":00023810B6"}));
  // The request and its XON are one entry; the log shows the record alone.
  EXPECT_NE(core.factory.W_Log.find("Put in buffer PC :00000012EE\r\n"), std::string::npos);
}

TEST_F(CommandSetTest, DisplaySettingSelectsEepromWritesAndReloads) {
  port.open(1);
  core.link.state.linkUp = true;
  Combo_Channel_Click(core.monitor, core.link.commands, 2);
  EXPECT_EQ(drain(), (std::vector<std::string>{":0200000400F00A", ":01000C0002F1", ":00000514E7"}));
}

TEST_F(CommandSetTest, EveryRequestClearsFactoryErrorTicksWhenVisible) {
  core.factory.visible = true;
  const auto tickAll = [&] { core.factory.checksumError = core.factory.blankError = core.factory.verifyError = core.factory.overrun = true; };
  const auto cleared = [&] {
    return !core.factory.checksumError && !core.factory.blankError && !core.factory.verifyError && !core.factory.overrun;
  };
  tickAll();
  core.link.commands.startFrames();
  EXPECT_TRUE(cleared());
  tickAll();
  core.link.commands.identify();  // even with the port closed
  EXPECT_TRUE(cleared());
  tickAll();
  core.link.commands.readMemory(0x50, 1);
  EXPECT_TRUE(cleared());

  core.factory.visible = false;
  tickAll();
  core.link.commands.stopFrames();
  EXPECT_TRUE(core.factory.checksumError);
}

}  // namespace
}  // namespace oxalis
