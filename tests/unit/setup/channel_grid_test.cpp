#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "FakeSetupHost.h"
#include "config/ChannelLine.h"
#include "setup/Setup.h"

namespace oxalis {
namespace {


class ChannelGridTest : public ::testing::Test {
 protected:
  ChannelGridTest() { LoadDefaultChannels(channels); }
  void open(const char* code) {
    host.code = code;
    setup.open();
  }
  // A click on the cell, the text typed, then Enter.
  void edit(int row, int column, const std::string& text) {
    setup.GrilleCan_Click(row, column);
    setup.editorEdited(text);
    setup.GrilleCan_KeyEnter();
  }
  const GridCell& cell(int row, int column) const { return setup.window.GrilleCan.cell(row, column); }

  test::FakeSetupHost host;
  ChannelTable channels;
  test::FakeDialogs dialogs;
  oxalis::Setup setup{host, channels, dialogs};
};

TEST_F(ChannelGridTest, ShowsTheSlotsWithTheModuleColumnsOnlyForTheModuleChannels) {
  open("OX2");
  const CanGridModel& grid = setup.window.GrilleCan;
  EXPECT_EQ(cell(0, 2).text, "ID");
  EXPECT_EQ(cell(1, 0).text, "1");
  EXPECT_EQ(cell(1, 1).text, "CAN1");
  EXPECT_EQ(cell(1, 2).text, "0x100");
  EXPECT_EQ(cell(1, 12).text, "5000");
  EXPECT_EQ(cell(1, CanGridModel::kColourColumn).background, 255u);
  // Row 5, the display's analogue input, stays empty on the controllers.
  EXPECT_EQ(cell(5, 1).text, "");
  // The module's own measurements show their name and scale, not a CAN
  // conversion.
  EXPECT_EQ(cell(7, 1).text, "Richness");
  EXPECT_EQ(cell(7, 2).text, "");
  EXPECT_EQ(cell(7, 12).text, "1800");
  EXPECT_FALSE(cell(1, 1).background.has_value());
  EXPECT_EQ(grid.rows.size(), 11u);
  open("PNU");
  EXPECT_EQ(cell(5, 1).text, "Vin");
}

TEST_F(ChannelGridTest, EachColumnChecksWhatItTakes) {
  struct Case {
    const char* code;
    int row;
    int column;
    const char* typed;
    bool accepted;
    const char* shown;
    double max = 5000;  // slot 1's scale and decimals before the edit
    std::uint8_t dec = 0;
  };
  const std::vector<Case> cases{
      {"OX2", 1, 1, "RPM", true, "RPM"},
      {"OX2", 1, 2, "7e0", true, "0x7E0"},
      {"OX2", 1, 2, "x7", false, "0x100"},
      {"OX2", 1, 3, "8", true, "8"},
      {"OX2", 1, 3, "9", false, "1"},
      {"OX2", 1, 5, "5", true, "5"},
      {"OX2", 1, 5, "6", false, "0"},
      {"OX2", 1, 6, "-32768", true, "-32768"},
      {"OX2", 1, 6, "32768", false, "1"},
      {"OX2", 1, 9, "2,5", true, "2.5"},  // a decimal comma reads as a point
      {"OX2", 1, 10, "4", false, "0"},
      {"OX2", 1, 12, "40000", false, "5000"},
      {"OX2", 1, 10, "3", true, "3", 40},  // the controllers keep no scaled word
      {"OX2", 7, 12, "32767", true, "32767"},
      // The display keeps the scale in units of 10^-Dec in a signed word:
      // Max 40 with Dec 3 is refused, whichever comes second.
      {"PNU", 1, 12, "40", true, "40"},
      {"PNU", 1, 10, "3", false, "0", 40},
      {"PNU", 1, 12, "40", false, "4", 4, 3},
      {"PNU", 1, 12, "32.767", true, "32.767", 4, 3},
      {"PNU", 6, 12, "40000", false, "5100"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.code) + " " + std::to_string(k.column) + " " + k.typed);
    LoadDefaultChannels(channels);
    channels.slot(1).Max = k.max;
    channels.slot(1).Dec = k.dec;
    open(k.code);
    edit(k.row, k.column, k.typed);
    EXPECT_EQ(setup.setupModified, k.accepted);
    EXPECT_EQ(cell(k.row, k.column).background, kModifiedColour);
    EXPECT_EQ(cell(k.row, k.column).text, k.shown);
    EXPECT_FALSE(setup.window.GrilleCan.editor.open);
  }
}

TEST_F(ChannelGridTest, EscapeAndUntouchedEditorsChangeNothing) {
  open("OX2");
  setup.GrilleCan_Click(2, 1);
  setup.editorEdited("Lost");
  setup.editorEscape();
  EXPECT_EQ(channels.slot(2).Name, "CAN2");
  setup.GrilleCan_Click(2, 1);
  setup.GrilleCan_Click(3, 1);  // leaving without typing
  EXPECT_FALSE(cell(2, 1).background.has_value());
  // Typing and clicking elsewhere keeps what was typed.
  setup.editorEdited("Speed");
  setup.GrilleCan_Click(0, 3);
  EXPECT_EQ(channels.slot(3).Name, "Speed");
  EXPECT_EQ(host.changedSlots, std::vector<int>{3});
  EXPECT_FALSE(setup.window.GrilleCan.editor.open);
}

TEST_F(ChannelGridTest, ColourColumnAndRowHeader) {
  open("OX2");
  dialogs.color = std::nullopt;
  setup.GrilleCan_Click(2, CanGridModel::kColourColumn);
  EXPECT_FALSE(setup.setupModified);
  dialogs.color = 0x00FF00FFu;
  setup.GrilleCan_Click(2, CanGridModel::kColourColumn);
  EXPECT_EQ(channels.slot(2).Color, 0x00FF00FFu);
  EXPECT_EQ(cell(2, CanGridModel::kColourColumn).background, 0x00FF00FFu);
  EXPECT_TRUE(setup.setupModified);
  EXPECT_EQ(host.changedSlots, std::vector<int>{2});

  // Slot 1 by default: (1*x + 0) / (0*x + 1).
  setup.GrilleCan_Click(1, 0);
  const CoefficientToolbox& box = setup.window.toolbox;
  EXPECT_TRUE(box.visible);
  EXPECT_TRUE(box.linear);
  EXPECT_EQ(box.VY2, "1000");
  channels.slot(1).A = 0;
  channels.slot(1).B = 2000;
  channels.slot(1).C = 1;
  setup.GrilleCan_Click(1, 0);
  EXPECT_FALSE(box.linear);
  EXPECT_EQ(box.VX1, "1000");
  EXPECT_EQ(box.VY1, "1.998001998001998");
  setup.CloseFrame_Click();
  EXPECT_FALSE(box.visible);
}

TEST_F(ChannelGridTest, DoubleClicksSelectWhatTheLibraryActsOn) {
  open("OX2");
  const CanGridModel& grid = setup.window.GrilleCan;
  setup.GrilleCan_DblClick(0, 3);
  EXPECT_EQ((std::vector<int>{grid.selectionTop, grid.selectionBottom, grid.selectionLeft, grid.selectionRight}),
            (std::vector<int>{1, 4, 1, 14}));
  setup.GrilleCan_DblClick(6, 0);
  EXPECT_EQ((std::vector<int>{grid.selectionTop, grid.selectionBottom}), (std::vector<int>{6, 6}));
}

TEST_F(ChannelGridTest, ModuleReadsFillTheGridGreen) {
  open("PNU");
  setup.DecodeConfigValue(0x64, 0x80000321);  // slot 2's identifier
  setup.DecodeConfigValue(0x73, 12);          // slot 2's LSB, held at 8
  setup.DecodeConfigValue(0x98 + 16, 2);      // slot 2's Dec
  setup.DecodeConfigValue(0x9B + 16, 65436);  // slot 2's Max: -100 in 10^-2
  EXPECT_EQ(channels.slot(2).ID, "0x00000321");
  EXPECT_EQ(channels.slot(2).LSB, 8);
  EXPECT_DOUBLE_EQ(channels.slot(2).Max, -1);
  EXPECT_EQ(cell(2, 2).background, kConfirmedColour);
  EXPECT_EQ(cell(2, 12).text, "-1");
  // A grid is disabled on the first-generation module, and takes no click.
  open("OXL");
  setup.GrilleCan_Click(1, 1);
  EXPECT_FALSE(setup.window.GrilleCan.editor.open);
}

}  // namespace
}  // namespace oxalis
