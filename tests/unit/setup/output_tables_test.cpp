#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "TempFolder.h"
#include "setup/OutputTables.h"
#include "setup/TableFile.h"

namespace oxalis {
namespace {

using test::FakeDialogs;
using test::TempFolder;

constexpr double kGasoline = 14.57;

TablePage opened(std::string_view device) {
  TablePage page;
  OpenTablePage(page, device, kGasoline);
  return page;
}

std::string text(const TablePage& page, int row, int column) { return page.GrilleConversion.cell(row, column).text; }

TEST(OutputTables, ColumnOneShowsTheStoredRichnessInTheChosenUnit) {
  const struct {
    std::int16_t in;
    TableUnit unit;
    const char* shown;
  } cases[] = {
      {1000, TableUnit::Rich, " 1.000"},  {1000, TableUnit::Lambda, " 1.000"}, {500, TableUnit::Lambda, " 2.000"},
      {1000, TableUnit::AirFuel, " 14.57"}, {0, TableUnit::Lambda, "65535"},   {0, TableUnit::AirFuel, "65535"},
      {-250, TableUnit::Rich, "-0.250"},
  };
  for (const auto& c : cases) EXPECT_EQ(RichnessCellText(c.in, c.unit, kGasoline), c.shown) << c.in;

  TablePage page = opened("OX2");
  OptionLbda_Click(page, "OX2", kGasoline);
  EXPECT_EQ(text(page, 0, 1), "Lambda");
  EXPECT_EQ(text(page, 21, 1), " 1.000");  // the default's 21st point is richness 1
  OptionAF_Click(page, "OX2", kGasoline);
  EXPECT_EQ(text(page, 0, 1), "A/F");
  EXPECT_EQ(text(page, 21, 1), " 14.57");
}

TEST(OutputTables, OpeningLoadsTheFactoryListForEachModule) {
  const TablePage lambda = opened("OX2");
  ASSERT_EQ(lambda.GrilleConversion.rows.size(), 33u);
  EXPECT_EQ(text(lambda, 0, 1), "Richness");
  EXPECT_EQ(text(lambda, 0, 2), "Vout (mV)");
  EXPECT_EQ(text(lambda, 1, 1), " 0.001");
  EXPECT_EQ(text(lambda, 1, 2), "4702");
  EXPECT_EQ(text(lambda, 32, 1), " 1.755");
  EXPECT_EQ(text(lambda, 32, 2), "4");
  EXPECT_FALSE(lambda.GrilleConversion.cell(1, 1).background.has_value());
  EXPECT_EQ(ConversionGrid::frameWidthTwips(), 2800);

  TablePage display = opened("PNU");
  ASSERT_EQ(display.GrilleConversion.rows.size(), 17u);
  EXPECT_EQ(text(display, 0, 1), "In");
  EXPECT_EQ(text(display, 0, 2), "Out");
  for (const DisplayTable& table : display.displayTables) {
    EXPECT_EQ(table[0].in, 1);
    EXPECT_EQ(table[15].in, 750);
    EXPECT_EQ(table[0].out, 800);
    EXPECT_EQ(table[15].out, 1755);
  }
  const std::pair<int, std::uint32_t> bands[] = {{4, Rgb(255, 0, 0)},   {5, Rgb(255, 255, 0)}, {10, Rgb(0, 255, 0)},
                                                 {12, Rgb(255, 255, 0)}, {13, Rgb(0, 128, 192)}};
  for (const auto& [row, colour] : bands) EXPECT_EQ(display.GrilleConversion.cell(row, 0).background, colour) << row;
  EXPECT_EQ(display.TabStripCarto.captions[4], "Convertion table for channel 5");
  TabStripCarto_Click(display, 9, "PNU", kGasoline);
  EXPECT_EQ(display.TabStripCarto.selected, 1);
}

TEST(OutputTables, CommittingACellStoresItByTheColumnsRule) {
  const struct {
    const char* device;
    TableUnit unit;
    int column;
    const char* typed;
    std::int16_t stored;
    const char* shown;
  } cases[] = {
      {"OX2", TableUnit::Rich, 1, "1,2", 1200, " 1.200"},
      {"OX2", TableUnit::Rich, 1, "junk", 0, " 0.000"},
      {"OX2", TableUnit::Lambda, 1, "2", 500, " 2.000"},
      {"OX2", TableUnit::Lambda, 1, "0", 32767, " 0.031"},
      {"OX2", TableUnit::AirFuel, 1, "14.57", 1000, " 14.57"},
      {"OX2", TableUnit::AirFuel, 1, "0", 32767, " 0.44"},
      {"OX2", TableUnit::Rich, 2, "6000", 5000, "5000"},
      {"OX2", TableUnit::Rich, 2, "-3", 0, "0"},
      {"OX2", TableUnit::Rich, 2, "2500.9", 2500, "2500"},
      {"PNU", TableUnit::Rich, 1, "12.5", 12, "12"},
      {"PNU", TableUnit::Rich, 2, "-7,6", -8, "-8"},
  };
  for (const auto& c : cases) {
    TablePage page = opened(c.device);
    TabStripCarto_Click(page, 3, c.device, kGasoline);
    SelectTableUnit(page, c.unit, c.device, kGasoline);
    GrilleConversion_Click(page, 2, c.column);
    ASSERT_TRUE(page.SaisieText.open);
    SaisieText_Change(page, c.typed);
    SaisieText_Enter(page, c.device, kGasoline);
    EXPECT_FALSE(page.SaisieText.open);
    const TablePoint& p = std::string_view(c.device) == "PNU" ? page.displayTables[2][1] : page.outputTable[1];
    EXPECT_EQ(c.column == 1 ? p.in : p.out, c.stored) << c.device << " " << c.typed;
    EXPECT_EQ(text(page, 2, c.column), c.shown) << c.device << " " << c.typed;
    EXPECT_EQ(page.GrilleConversion.cell(2, c.column).background, kModifiedColour) << c.typed;
    EXPECT_FALSE(page.GrilleConversion.cell(3, c.column).background.has_value()) << c.typed;
  }
}

TEST(OutputTables, EscapeAndOtherClicksLeaveTheTableAlone) {
  TablePage page = opened("OX2");
  GrilleConversion_Click(page, 5, 2);
  SaisieText_Change(page, "123");
  SaisieText_Escape(page);
  EXPECT_FALSE(page.SaisieText.open);
  EXPECT_EQ(page.SaisieText.text, "4201");
  EXPECT_EQ(page.outputTable[4].out, 4201);
  // Enter in the grid reopens the remembered cell; the header closes it,
  // as does a change of unit.
  GrilleConversion_KeyEnter(page);
  EXPECT_TRUE(page.SaisieText.open);
  EXPECT_EQ(page.SaisieText.row, 5);
  GrilleConversion_Click(page, 0, 1);
  EXPECT_FALSE(page.SaisieText.open);
  GrilleConversion_Click(page, 5, 1);
  OptionLbda_Click(page, "OX2", kGasoline);
  EXPECT_FALSE(page.SaisieText.open);
}

TEST(OutputTables, FactorySetRestoresTheDefaultsAllModified) {
  TablePage page = opened("OX2");
  page.outputTable[31].out = 900;
  FactorySet_Click(page, "OX2", kGasoline);
  EXPECT_EQ(page.outputTable[31].out, 4);
  for (int row = 1; row <= kLambdaPoints; ++row) {
    EXPECT_EQ(page.GrilleConversion.cell(row, 1).background, kModifiedColour);
    EXPECT_EQ(page.GrilleConversion.cell(row, 2).background, kModifiedColour);
  }
}

// Sends a table with negative and full-range values through the module's
// blocks and decodes them into a freshly opened window.
template <typename Pick>
void roundTrip(const char* device, Pick pick) {
  TablePage sent = opened(device);
  TabStripCarto_Click(sent, 4, device, kGasoline);
  auto& table = pick(sent);
  table[0].in = -2;
  table[15].out = -32768;
  table.back().out = 0x1234;
  const std::vector<TableBlock> blocks = TableBlocks(sent, device);
  std::vector<std::uint16_t> addresses;
  for (const TableBlock& b : blocks) addresses.push_back(b.address);
  EXPECT_EQ(addresses, TableReadBlocks(sent, device));
  EXPECT_EQ(blocks[0].bytes[0], 0xFE);
  EXPECT_EQ(blocks[0].bytes[1], 0xFF);

  TablePage received = opened(device);
  received.TabStripCarto.selected = 4;
  for (const TableBlock& b : blocks) EXPECT_TRUE(DecodeTableBlock(received, device, b.address, b.bytes, kGasoline));
  const auto& got = pick(received);
  for (std::size_t k = 0; k < table.size(); ++k) {
    EXPECT_EQ(got[k].in, table[k].in) << device << k;
    EXPECT_EQ(got[k].out, table[k].out) << device << k;
    EXPECT_EQ(got[k].outState, EditState::Confirmed);
  }
  EXPECT_EQ(received.GrilleConversion.cell(1, 1).background, kConfirmedColour);
}

TEST(OutputTableBlocks, RoundTripLowByteFirstForBothModules) {
  roundTrip("OX2", [](TablePage& page) -> OutputTable& { return page.outputTable; });
  roundTrip("PNU", [](TablePage& page) -> DisplayTable& { return page.displayTables[3]; });
  TablePage page = opened("OX2");
  EXPECT_EQ(TableReadBlocks(page, "OX2"), (std::vector<std::uint16_t>{0x0E00, 0x0E20, 0x0E40, 0x0E60}));
  TabStripCarto_Click(page, 4, "PNU", kGasoline);
  EXPECT_EQ(TableReadBlocks(page, "PNU"), (std::vector<std::uint16_t>{0x0EC0, 0x0EE0}));
  EXPECT_TRUE(TableReadBlocks(page, "RMW").empty());
}

TEST(OutputTableBlocks, AShortBlockFillsOnlyThePointsItHolds) {
  TablePage page = opened("OX2");
  const std::vector<std::uint8_t> threeBytes{0x10, 0x00, 0x20};
  EXPECT_TRUE(DecodeTableBlock(page, "OX2", 0x0E60, threeBytes, kGasoline));
  EXPECT_EQ(page.outputTable[16].out, 16);
  EXPECT_EQ(page.outputTable[17].out, 2781);
  EXPECT_FALSE(DecodeTableBlock(page, "OX2", 0x0E80, threeBytes, kGasoline));
  EXPECT_FALSE(DecodeTableBlock(page, "PNU", 0x0F40, threeBytes, kGasoline));
  // A display block of another channel fills that channel.
  EXPECT_TRUE(DecodeTableBlock(page, "PNU", 0x0E80, threeBytes, kGasoline));
  EXPECT_EQ(page.displayTables[2][0].in, 16);
  EXPECT_EQ(page.displayTables[2][0].inState, EditState::Confirmed);
  EXPECT_EQ(page.displayTables[0][0].in, 1);
}

TEST(TableFile, TheFactoryLineAndItsItems) {
  TablePage page = opened("OX2");
  EXPECT_EQ(FormatTableLine(page, "OX2"), std::string(kDefaultTableIn) + ";" + std::string(kDefaultTableOut) + ";");
  EXPECT_EQ(ParseTableLine(page, "OX2", "0.75;750;1.5;"), 3);
  EXPECT_EQ(page.outputTable[0].in, 750);
  EXPECT_EQ(page.outputTable[1].in, 750);
  EXPECT_EQ(page.outputTable[2].in, 1500);
  EXPECT_EQ(page.outputTable[0].inState, EditState::Archive);
  EXPECT_EQ(page.outputTable[3].in, 150);  // past the short line: untouched
  EXPECT_EQ(page.outputTable[3].inState, EditState::Normal);
}

TEST(TableFile, AShortOrLongLineTouchesNothingOutsideTheTable) {
  TablePage display = opened("PNU");
  TabStripCarto_Click(display, 2, "PNU", kGasoline);
  std::string line;
  for (int i = 1; i <= 20; ++i) line += std::to_string(-i) + ";";
  EXPECT_EQ(ParseTableLine(display, "PNU", line), 20);
  EXPECT_EQ(display.displayTables[1][15].in, -16);
  EXPECT_EQ(display.displayTables[1][3].out, -20);
  EXPECT_EQ(display.displayTables[1][4].out, 1000);
  EXPECT_EQ(display.displayTables[1][4].outState, EditState::Normal);
  EXPECT_EQ(display.displayTables[0], opened("PNU").displayTables[0]);
  EXPECT_EQ(display.displayTables[2], opened("PNU").displayTables[2]);

  for (int i = 0; i < 40; ++i) line += "7;";
  EXPECT_EQ(ParseTableLine(display, "PNU", line), 32);
  TablePage lambda = opened("OX2");
  EXPECT_EQ(ParseTableLine(lambda, "OX2", line + line), 64);
  EXPECT_EQ(lambda.displayTables, opened("OX2").displayTables);
}

TEST(TableFile, SaveAndLoadThroughTheDialogs) {
  TempFolder folder;
  FakeDialogs dialogs;
  TablePage page = opened("OX2");
  page.outputTable[0].in = 600;
  const std::string file = (folder / "Map.TAB").string();
  dialogs.files = {file, std::nullopt};
  EXPECT_TRUE(SaveMapFile(dialogs, "/prog/lib", page, "OX2"));
  EXPECT_FALSE(SaveMapFile(dialogs, "/prog/lib", page, "OX2"));  // cancelled
  EXPECT_EQ(test::ReadBytes(file), FormatTableLine(page, "OX2") + "\r\n");
  const FileDialogRequest& save = dialogs.fileRequests[0];
  EXPECT_EQ(save.title, "Save as");
  EXPECT_EQ(save.filter, "Setup archive (*.TAB)|*.TAB");
  EXPECT_EQ(save.fileName, "Default");
  EXPECT_EQ(save.defaultExtension, "TAB");
  EXPECT_EQ(save.startFolder, "/prog/lib");
  EXPECT_TRUE(save.promptOverwrite);

  TablePage loaded = opened("OX2");
  dialogs.files = {file};
  EXPECT_TRUE(LoadMapFile(dialogs, "/prog/lib", loaded, "OX2", kGasoline));
  EXPECT_EQ(dialogs.fileRequests[2].title, "Open Setup File");
  EXPECT_EQ(dialogs.fileRequests[2].filter, "Setup Archive(*.TAB)|*.TAB");
  EXPECT_EQ(loaded.outputTable[0].in, 600);
  EXPECT_EQ(loaded.GrilleConversion.cell(32, 2).background, kArchiveColour);

  const std::string missing = (folder / "none" / "x.TAB").string();
  dialogs.files = {missing, missing};
  EXPECT_FALSE(LoadMapFile(dialogs, "/prog/lib", loaded, "OX2", kGasoline));
  EXPECT_FALSE(SaveMapFile(dialogs, "/prog/lib", page, "OX2"));
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text, "Fail to open file " + missing);
  EXPECT_EQ(dialogs.messages[0].title, "Error");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(dialogs.messages[1].icon, MessageIcon::Warning);
}

}  // namespace
}  // namespace oxalis
