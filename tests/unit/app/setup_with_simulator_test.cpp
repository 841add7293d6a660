// The setup window against the simulated module in process: what is
// written comes back equal, through a noisy line too, and a setting the
// module does not keep is named.
#include <gtest/gtest.h>

#include "SimulatedLink.h"

namespace oxalis {
namespace {

class SetupWithSimulator : public ::testing::Test {
 protected:
  void SetUp() override {
    module = &link.plug(1, "OX2");
    link.core.start();
    link.runUntil([&] { return link.core.link.state.linkUp; }, 5000);
    ASSERT_TRUE(link.core.link.state.linkUp);
    link.core.openSetup();
    link.run(3000);  // the module's configuration and tables come in
  }
  void type(Field field, const std::string& text) {
    link.core.setup.fieldEdited(field, text);
    link.core.setup.fieldKey(field, SetupKey::Enter);
  }
  void edit() {
    oxalis::Setup& setup = link.core.setup;
    type(Field::Vout_NOT, "1234");
    type(Field::Rich_HS, "0.9");
    type(Field::W_Stoichio, "14.7");
    setup.fieldEdited(Field::Heater_Timeout, "30");
    setup.fieldLeave(Field::Heater_Timeout);
    setup.listClick(Field::BaudRateList, 2);
    type(Field::ID0, "0x123");
    setup.GrilleCan_Click(2, 2);
    setup.editorEdited("0x321");
    setup.editorCommit();
  }
  // Runs until the write's check is over.
  std::string written() {
    link.runUntil([&] { return link.core.setup.window.transferStatus != "Writing..."; }, 20000);
    return link.core.setup.window.transferStatus;
  }

  test::SimulatedLink link;
  sim::ModuleSimulator* module = nullptr;
};

TEST_F(SetupWithSimulator, WriteAllThenReadAllIntoAFreshWindowGivesTheSameFieldsGreen) {
  edit();
  link.core.setup.WriteCfgCAN_Click();
  EXPECT_EQ(written(), "Written and verified");

  ASSERT_TRUE(link.core.closeSetup());
  link.core.channels.slot(2).ID = "0x101";
  link.core.openSetup();
  link.core.setup.ReadCfgCAN_Click();
  link.run(5000);
  const SetupWindowModel& w = link.core.setup.window;
  struct Expect {
    const Control& control;
    const char* text;
  };
  for (const Expect& e : {Expect{w.Vout_NOT, "1234"}, Expect{w.Rich_HS, "0.9"}, Expect{w.W_Stoichio, "14.7"},
                          Expect{w.Heater_Timeout, "30"}, Expect{w.BaudRateList, "250k"},
                          Expect{w.ID[0], "0x123"}}) {
    EXPECT_EQ(e.control.text, e.text);
    EXPECT_EQ(e.control.state, EditState::Confirmed) << e.text;
  }
  EXPECT_EQ(link.core.channels.slot(2).ID, "0x321");
  EXPECT_EQ(w.GrilleCan.cell(2, 2).background, kConfirmedColour);
  EXPECT_DOUBLE_EQ(link.core.monitor.stoichRatio, 14.7);
}

TEST_F(SetupWithSimulator, ChecksumErrorsOnTheLineStillEndWithTheWrittenValues) {
  sim::SimFaults faults;
  faults.checksumErrorProbability = 0.2;
  module->setFaults(faults);
  edit();
  link.core.setup.WriteCfgCAN_Click();
  EXPECT_EQ(written(), "Written and verified");
}

TEST_F(SetupWithSimulator, ASettingTheModuleDoesNotKeepIsNamed) {
  sim::SimFaults faults;
  faults.ignoreWritesAt = 0x31;  // the low byte of the invalid-measurement voltage
  module->setFaults(faults);
  edit();
  link.core.setup.WriteCfg_selection_Click();
  EXPECT_EQ(written(), "Written, but the module holds other values for: Vout on invalid measurement");
  EXPECT_EQ(link.core.setup.window.Vout_NOT.state, EditState::Modified);
}

}  // namespace
}  // namespace oxalis
