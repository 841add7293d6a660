// The setup window opened from the main window, and the module's replies
// reaching it.
#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "Feed.h"
#include "app/UserLevel.h"

namespace oxalis {
namespace {

class SetupOpenTest : public ::testing::Test, public test::CoreFixture {};

TEST_F(SetupOpenTest, OpensAtEveryLevelAndHoldsTheLinkQuietMeanwhile) {
  for (std::uint8_t level = kLevelBasic; level <= kLevelMaster; ++level) {
    core.state.userLevel = level;
    ApplyUserLevel(core);
    EXPECT_TRUE(core.mainWindow.menuSetup.enabled);
    core.openSetup();
    EXPECT_TRUE(core.setup.window.visible);
    EXPECT_TRUE(core.state.setupOpen);
    EXPECT_EQ(core.link.state.keepAliveDelay, 3);
    // A module answering again re-lays no window under the user, except
    // for the maker.
    EXPECT_EQ(core.link.state.identificationHeld, level != kLevelMaster);
    EXPECT_TRUE(core.closeSetup());
    EXPECT_FALSE(core.state.setupOpen);
    EXPECT_FALSE(core.link.state.identificationHeld);
  }
}

TEST_F(SetupOpenTest, RepliesFillTheWindowWhileItIsOpenAndTheRatioAlways) {
  port.open(2);
  core.openSetup();
  test::feed(core, BuildRecord(0x10, 0x0030, test::bytes({0x07, 0xD0})));  // Vout_NOT 2000
  test::feed(core, BuildRecord(0x10, 0x002C, test::bytes({0x05, 0xBE})));  // ratio 14.70
  EXPECT_EQ(core.setup.window.Vout_NOT.text, "2000");
  EXPECT_EQ(core.setup.window.Vout_NOT.state, EditState::Confirmed);
  EXPECT_EQ(core.setup.window.W_Stoichio.text, "14.7");
  EXPECT_DOUBLE_EQ(core.monitor.stoichRatio, 14.7);
  EXPECT_EQ(core.monitor.livePanel.cells[4].label, "A/F (St:14.7)");

  // A changed channel colour reaches the live panel's label.
  dialogs.color = 0x0000FF00u;
  core.setup.GrilleCan_Click(1, CanGridModel::kColourColumn);
  EXPECT_EQ(core.channels.slot(1).Color, 0x0000FF00u);
  EXPECT_EQ(core.monitor.livePanel.cells[13].labelColor, 0x0000FF00u);

  ASSERT_TRUE(core.closeSetup());
  test::feed(core, BuildRecord(0x10, 0x002C, test::bytes({0x05, 0xB1})));
  EXPECT_DOUBLE_EQ(core.monitor.stoichRatio, 14.57);
  EXPECT_EQ(core.setup.window.W_Stoichio.text, "14.7");  // the closed window is left alone
}

}  // namespace
}  // namespace oxalis
