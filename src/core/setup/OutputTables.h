#pragma once
// The table page of the setup window: the lambda controller's output table
// "Vout=f(richness)" (32 points), the display's five channel tables
// "Out=f(In)" (16 points each), the grid `GrilleConversion` that shows one
// of them, its cell editor `SaisieText`, the unit options and the display's
// tabs `TabStripCarto`. Every value carries its own edit state, so the grid
// paints each cell from the model.
//
// Handlers take the module type ("OX2" the lambda controller, "PNU" the
// display; any other type shows the lambda layout but has no table in the
// module) and the stoichiometric ratio the A/F unit is computed with.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "setup/EditState.h"

namespace oxalis {

// One point of a table: In and Out, signed 16-bit. On the lambda
// controller In is the richness x 1000 and Out the output voltage in mV; on
// the display both are raw channel values.
struct TablePoint {
  std::int16_t in = 0;
  std::int16_t out = 0;
  EditState inState = EditState::Normal;
  EditState outState = EditState::Normal;
  bool operator==(const TablePoint&) const = default;
};

inline constexpr int kLambdaPoints = 32;
inline constexpr int kDisplayPoints = 16;
inline constexpr int kDisplayChannels = 5;

using OutputTable = std::array<TablePoint, kLambdaPoints>;
using DisplayTable = std::array<TablePoint, kDisplayPoints>;
using DisplayTables = std::array<DisplayTable, kDisplayChannels>;

// The factory table, as the window keeps it: the 32 In values, then the 32
// Out values, as one list of 64 items joined with ";".
inline constexpr std::string_view kDefaultTableIn =
    "1;50;100;150;200;250;300;350;400;450;500;550;600;650;700;750;800;850;900;950;1000;1050;1100;1150;1200;1250;"
    "1300;1350;1400;1450;1500;1755";
inline constexpr std::string_view kDefaultTableOut =
    "4702;4576;4449;4324;4201;4080;3961;3844;3729;3616;3504;3395;3288;3183;3079;2978;2879;2781;2686;2592;2500;2303;"
    "2107;1914;1725;1540;1360;1185;1014;850;693;4";
// The 64 items of the factory list, In list first.
std::vector<int> DefaultTableItems();

// How column 1 shows the lambda controller's In (always stored as
// richness x 1000): `OptionRich` ("Rich"), `OptionLbda` ("Lbda"), `OptionAF`
// ("AF").
enum class TableUnit { Rich, Lambda, AirFuel };

// The grid `GrilleConversion`: row 0 the header, row r point r; column 0
// the point number, 1 In, 2 Out.
struct ConversionGrid {
  static constexpr int kColumns = 3;
  static constexpr std::array<int, kColumns> kWidthsTwips{350, 900, 900};
  // The grid is this much wider than its columns, the frame around it this
  // much wider than the grid; the cell editor is as wide as a value column.
  static constexpr int kGridMarginTwips = 300;
  static constexpr int kFrameMarginTwips = 350;
  static constexpr int kEditorWidthTwips = 900;
  static constexpr int gridWidthTwips() { return kWidthsTwips[0] + kWidthsTwips[1] + kWidthsTwips[2] + kGridMarginTwips; }
  static constexpr int frameWidthTwips() { return gridWidthTwips() + kFrameMarginTwips; }

  using Row = std::array<GridCell, kColumns>;
  std::vector<Row> rows;
  int currentRow = 1;
  int currentColumn = 1;

  const GridCell& cell(int row, int column) const {
    return rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
  }
};

// The floating cell editor `SaisieText`.
struct ConversionEditor {
  bool open = false;
  int row = 0;
  int column = 0;
  std::string text;
  bool changed = false;  // a key was typed since it opened
};

// The display's tab strip `TabStripCarto`: one tab per channel, the
// selected one (1..5) is the table on screen.
struct ConversionTabs {
  std::array<std::string, kDisplayChannels> captions{
      "Convertion table for channel 1", "Convertion table for channel 2", "Convertion table for channel 3",
      "Convertion table for channel 4", "Convertion table for channel 5"};
  int selected = 1;
};

// Everything the table page holds.
struct TablePage {
  OutputTable outputTable;
  DisplayTables displayTables;
  TableUnit unit = TableUnit::Rich;
  ConversionTabs TabStripCarto;
  ConversionGrid GrilleConversion;
  ConversionEditor SaisieText;
};

bool IsDisplayModule(std::string_view deviceCode);
bool IsLambdaModule(std::string_view deviceCode);

// The table on screen: the selected channel's on the display.
DisplayTable& SelectedDisplayTable(TablePage& page);
const DisplayTable& SelectedDisplayTable(const TablePage& page);

// Opening the window: the factory list in every table, nothing modified,
// "Rich", tab 1, the grid drawn.
void OpenTablePage(TablePage& page, std::string_view deviceCode, double stoichRatio);

// `RefreshTableGrid`: redraws every cell from the model. On the lambda
// controller mode 1 marks the whole table confirmed, 2 loaded from a file,
// 3 modified, 0 leaves the states; the display's cells always show their
// own states. The current cell is brought back into the grid.
void RefreshTableGrid(TablePage& page, int mode, std::string_view deviceCode, double stoichRatio);

// The text column 1 shows for a lambda controller's In in a unit.
std::string RichnessCellText(std::int16_t in, TableUnit unit, double stoichRatio);

// `FactorySet`: the factory list into the lambda table, all of it
// modified, so that the next write sends it.
void FactorySet_Click(TablePage& page, std::string_view deviceCode, double stoichRatio);

// The unit options: the editor closes, column 1 and its header follow.
void SelectTableUnit(TablePage& page, TableUnit unit, std::string_view deviceCode, double stoichRatio);
inline void OptionRich_Click(TablePage& page, std::string_view deviceCode, double stoichRatio) {
  SelectTableUnit(page, TableUnit::Rich, deviceCode, stoichRatio);
}
inline void OptionLbda_Click(TablePage& page, std::string_view deviceCode, double stoichRatio) {
  SelectTableUnit(page, TableUnit::Lambda, deviceCode, stoichRatio);
}
inline void OptionAF_Click(TablePage& page, std::string_view deviceCode, double stoichRatio) {
  SelectTableUnit(page, TableUnit::AirFuel, deviceCode, stoichRatio);
}

// A tab clicked (1..5; anything else selects tab 1).
void TabStripCarto_Click(TablePage& page, int tab, std::string_view deviceCode, double stoichRatio);

// Cell editing. A click on a value cell (or Enter on the current cell)
// opens the editor over it with the cell's text; a click on the header or
// the point numbers closes it.
void GrilleConversion_Click(TablePage& page, int row, int column);
void GrilleConversion_KeyEnter(TablePage& page);
// The editor's text as typed.
void SaisieText_Change(TablePage& page, std::string_view text);
// Escape: the cell's text back, the editor closed.
void SaisieText_Escape(TablePage& page);
// Enter: the value stored by the column's rule, the cell modified, the
// editor closed. `stoichRatio` is the ratio of the stoichiometric input.
void SaisieText_Enter(TablePage& page, std::string_view deviceCode, double stoichRatio);
// Hides the editor without storing anything (a read or a write starts).
inline void HideTableEditor(TablePage& page) { page.SaisieText.open = false; }

// Module memory: 16 words per block, low byte first, two's complement.
struct TableBlock {
  std::uint16_t address = 0;
  std::array<std::uint8_t, 32> bytes{};
};
// The blocks a write sends: the lambda controller's four, or the selected
// display channel's In and Out blocks; nothing for other modules.
std::vector<TableBlock> TableBlocks(const TablePage& page, std::string_view deviceCode);
// The addresses a read asks for (32 bytes each), the same blocks.
std::vector<std::uint16_t> TableReadBlocks(const TablePage& page, std::string_view deviceCode);
// A memory reply: the points the block holds, confirmed, and the grid
// redrawn. A block shorter than 32 bytes fills only the points it holds.
// False when the address is not a table block of the module.
bool DecodeTableBlock(TablePage& page, std::string_view deviceCode, std::uint16_t address,
                      std::span<const std::uint8_t> bytes, double stoichRatio);

}  // namespace oxalis
