// Levels chosen with their access codes, and what each level enables.
#include "app/UserLevel.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "Feed.h"

namespace oxalis {
namespace {

class UserLevelTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override {
    port.open(2);
    core.link.state.linkUp = true;
    core.link.state.identity.serialNumber = 1234;
  }
  // The access-code window opens and the module answers with its identifier.
  void askFor(std::uint8_t level, int identifier = 20517) {
    requestLevel(core, level);
    test::feed(core, BuildRecord(0x11, 0x1000 + 1234, test::bytes({identifier >> 8, identifier & 0xFF})));
  }
  std::vector<std::string> sent() {
    std::vector<std::string> out;
    while (!core.link.queue.isEmpty()) {
      core.link.queue.onXon();
      out.push_back(port.take());
    }
    return out;
  }
};

TEST_F(UserLevelTest, OpeningReadsTheUserCodeAndShowsItInTheCaption) {
  askFor(kLevelNormal, 1234);
  EXPECT_TRUE(core.accessCode.visible);
  EXPECT_FALSE(core.accessCode.masked);
  EXPECT_EQ(core.accessCode.caption, "User Code ID: 21234");
  EXPECT_EQ(sent().front(), records::ReadMemory(0x1000 + 1234, 2));
  askFor(kLevelMaster);
  EXPECT_TRUE(core.accessCode.masked);
}

TEST_F(UserLevelTest, LowerLevelCodeIsStoredInTheModule) {
  askFor(kLevelNormal, 20517);
  sent();
  validateLevelCode(core, "  " + std::to_string(20517 + 2 * kLevelCodeMultiplier));  // leading blanks
  EXPECT_EQ(core.state.userLevel, kLevelNormal);
  EXPECT_FALSE(core.accessCode.visible);
  EXPECT_EQ(sent(), (std::vector<std::string>{":0200000400F00A", records::WriteParams(0x0A, std::string(1, '\x02'))}));
  EXPECT_EQ(core.mainWindow.panel(4), "User level : Normal");
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(UserLevelTest, WrongCodeKeepsTheLevelAndTheWindowForAnotherTry) {
  core.state.userLevel = kLevelExpert;
  askFor(kLevelBasic);
  sent();
  core.accessCode.code = "12";
  EXPECT_FALSE(validateLevelCode(core, "12"));
  EXPECT_EQ(core.state.userLevel, kLevelExpert);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Wrong Code");
  EXPECT_EQ(dialogs.messages[0].title, "Level Code");
  EXPECT_TRUE(sent().empty());
  EXPECT_TRUE(core.accessCode.visible);
  EXPECT_EQ(core.accessCode.code, "");
  EXPECT_TRUE(validateLevelCode(core, std::to_string(20517 + kLevelCodeMultiplier)));
  EXPECT_EQ(core.state.userLevel, kLevelBasic);
  EXPECT_FALSE(core.accessCode.visible);
}

TEST_F(UserLevelTest, MasterCodeOnlyForMaster) {
  askFor(kLevelExpert);
  validateLevelCode(core, "482913");
  EXPECT_NE(core.state.userLevel, kLevelMaster);
  EXPECT_EQ(dialogs.messages.size(), 1u);
  askFor(kLevelMaster);
  sent();
  validateLevelCode(core, "482913");
  EXPECT_EQ(core.state.userLevel, kLevelMaster);
  EXPECT_TRUE(sent().empty());  // Master is never stored in the module
  EXPECT_EQ(core.mainWindow.panel(4), "User level : Master");
}

TEST_F(UserLevelTest, EscapeClosesWithoutChange) {
  core.state.userLevel = kLevelExpert;
  askFor(kLevelMaster);
  cancelLevelCode(core);
  EXPECT_FALSE(core.accessCode.visible);
  EXPECT_EQ(core.state.userLevel, kLevelExpert);
}

}  // namespace
}  // namespace oxalis
