// The identification reply: module type, versions, captions, panel texts,
// timers, and the requests that follow it.
#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "Feed.h"

namespace oxalis {
namespace {

using test::feed;
using test::identificationReply;

class IdentificationTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override { port.open(3); }
  // The live panel was laid out anew.
  bool laidOut() const { return core.monitor.livePanel.forceRepaint; }
};

struct Expected {
  const char* code;
  std::vector<int> versions;
  const char* caption;
  const char* panel3;
  bool keepAlive;
  bool oxalisTicked, panoraTicked, qtxTicked;
};

void PrintTo(const Expected& e, std::ostream* os) { *os << e.code; }

class EveryModuleType : public IdentificationTest, public ::testing::WithParamInterface<Expected> {};

TEST_P(EveryModuleType, SetsCaptionPanelTimersAndTicks) {
  const Expected& e = GetParam();
  feed(core, identificationReply(e.code, 1234, e.versions));
  EXPECT_EQ(core.link.state.identity.deviceCode, e.code);
  EXPECT_EQ(core.link.state.identity.serialNumber, 1234);
  EXPECT_EQ(core.mainWindow.caption, e.caption);
  EXPECT_EQ(core.mainWindow.panel(3), e.panel3);
  EXPECT_EQ(core.mainWindow.panel(2), "Link ON");
  EXPECT_TRUE(core.link.state.linkUp);
  EXPECT_TRUE(timers.isEnabled(TimerId::Refresh));
  EXPECT_EQ(timers.isEnabled(TimerId::KeepAlive), e.keepAlive);
  EXPECT_EQ(core.mainWindow.oxalisOffLine.checked, e.oxalisTicked);
  EXPECT_EQ(core.mainWindow.panoraOffLine.checked, e.panoraTicked);
  EXPECT_EQ(core.mainWindow.qtxOffLine.checked, e.qtxTicked);
  EXPECT_FALSE(core.mainWindow.oxalisOffLine.enabled);
  EXPECT_FALSE(core.mainWindow.panoraOffLine.enabled);
  EXPECT_FALSE(core.mainWindow.qtxOffLine.enabled);  // no offline layout over a linked module
  EXPECT_TRUE(laidOut());
}

INSTANTIATE_TEST_SUITE_P(
    Modules, EveryModuleType,
    ::testing::Values(
        Expected{"OX2", {2, 0, 3, 1}, "Oxalis Monitor 2.10", "Oxalis V2  S/N:1234   HW: 2. 0   FW: 3. 1 ", true, true,
                 false, false},
        Expected{"OXL", {12, 17}, "Oxalis Monitor 2.10", "Oxalis  S/N:1234   HW: 1.2   FW: 1.7 ", true, true, false,
                 false},
        Expected{"PNU", {1, 2, 4, 5}, "Panora Monitor 2.10", "Display CAN  S/N:1234   HW: 1. 2   FW: 4. 5 ", true,
                 false, true, false},
        Expected{"RMW", {1, 0, 2, 0}, "RMW Monitor 2.10", "Steering Wheel  S/N:1234   HW: 1. 0   FW: 2. 0 ", false,
                 false, true, false},
        Expected{"QTX", {9, 1, 1, 3, 2}, "QTX Monitor 2.10", "FuelTankDrainTool  S/N:1234   HW: 1. 1   FW: 3. 2 ",
                 false, false, false, true}),
    [](const auto& info) { return std::string(info.param.code); });

TEST_F(IdentificationTest, ThenReadsStoichiometricRatioAndStartsTheStream) {
  feed(core, identificationReply("OX2", 7, {1, 0, 1, 0}));
  std::vector<std::string> sent;
  while (!core.link.queue.isEmpty()) {
    core.link.queue.onXon();
    sent.push_back(port.take());
  }
  EXPECT_EQ(sent, (std::vector<std::string>{":00022C10C2", ":00000113EC"}));
}

TEST_F(IdentificationTest, StoppedStreamIsNotStarted) {
  core.link.state.streamRunning = false;
  feed(core, identificationReply("OX2", 7, {1, 0, 1, 0}));
  EXPECT_TRUE(core.link.queue.isEmpty());
}

TEST_F(IdentificationTest, UnknownCodeChangesOnlyTheCode) {
  feed(core, identificationReply("ABC", 7, {1, 0, 1, 0}));
  EXPECT_EQ(core.link.state.identity.deviceCode, "ABC");
  EXPECT_FALSE(core.link.state.linkUp);
  EXPECT_EQ(core.mainWindow.caption, "Oxalis Monitor 2.10");
  EXPECT_EQ(core.mainWindow.panel(3), "No module");
  EXPECT_FALSE(timers.isEnabled(TimerId::Refresh));
  EXPECT_TRUE(core.mainWindow.oxalisOffLine.enabled);
  EXPECT_FALSE(laidOut());
}

TEST_F(IdentificationTest, IgnoredWhileSetupWindowOpenUnlessMaster) {
  core.state.setupOpen = true;
  core.state.userLevel = kLevelExpert;
  core.updateIdentificationHold();
  feed(core, identificationReply("PNU", 7, {1, 0, 1, 0}));
  EXPECT_EQ(core.link.state.identity.deviceCode, "OX2");
  core.state.userLevel = kLevelMaster;
  core.updateIdentificationHold();
  feed(core, identificationReply("PNU", 7, {1, 0, 1, 0}));
  EXPECT_EQ(core.link.state.identity.deviceCode, "PNU");
}

TEST_F(IdentificationTest, FillsFactoryIdentityBoxesWhenVisible) {
  core.factory.visible = true;
  feed(core, identificationReply("OX2", 4321, {2, 1, 3, 4}));
  EXPECT_EQ(core.factory.W_HW, "2");
  EXPECT_EQ(core.factory.W_RHW, "1");
  EXPECT_EQ(core.factory.W_SW, "3");
  EXPECT_EQ(core.factory.W_RSW, "4");
  EXPECT_EQ(core.factory.W_SN, "4321");
  feed(core, identificationReply("OXL", 12, {12, 17}));
  EXPECT_EQ(core.factory.W_HW, "1.2");
  EXPECT_EQ(core.factory.W_SW, "1.7");
}

TEST_F(IdentificationTest, StoredLevelFollowsTheModuleExceptAtMaster) {
  const auto storedLevel = [&](int v) {
    feed(core, BuildRecord(0x10, 0x010A, test::bytes({v})));
    return core.state.userLevel;
  };
  EXPECT_EQ(storedLevel(255), kLevelBasic);
  EXPECT_EQ(core.mainWindow.panel(4), "User level : Basic");
  EXPECT_EQ(storedLevel(3), kLevelExpert);
  EXPECT_EQ(storedLevel(0), kLevelBasic);
  EXPECT_EQ(storedLevel(4), kLevelMaster);  // a level written from the factory window
  EXPECT_EQ(storedLevel(2), kLevelMaster);
  EXPECT_EQ(core.factory.W_Userlevel, "2");
  EXPECT_EQ(core.mainWindow.panel(4), "User level : Master");
}

}  // namespace
}  // namespace oxalis
