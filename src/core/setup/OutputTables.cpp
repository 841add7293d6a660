#include "setup/OutputTables.h"

#include <algorithm>
#include <cstddef>

#include "config/MemoryMap.h"
#include "util/Colour.h"
#include "util/NumberFormat.h"

namespace oxalis {
namespace {

constexpr std::uint16_t kTablesBase = memory_map::kOutputTablesFirst;
constexpr std::uint16_t kBlockBytes = 32;
constexpr std::uint16_t kDisplayChannelStride = 0x40;

TablePoint& point(auto& table, int number) { return table.at(static_cast<std::size_t>(number - 1)); }

// A typed or read number as a point value: rounded to nearest (a half to the
// even neighbour) and held within the signed 16-bit word the module keeps.
std::int16_t pointValue(double value) {
  return static_cast<std::int16_t>(std::clamp(roundToInt32(value), -32768, 32767));
}

std::int16_t word(std::span<const std::uint8_t> bytes, std::size_t index) {
  return static_cast<std::int16_t>(bytes[2 * index] | bytes[2 * index + 1] << 8);
}

// The point-number cells of the display, by row: the colour bands of the
// display's bar.
std::uint32_t displayRowColour(int row) {
  if (row <= 4) return Rgb(255, 0, 0);
  if (row <= 6 || (row >= 11 && row <= 12)) return Rgb(255, 255, 0);
  if (row <= 10) return Rgb(0, 255, 0);
  return Rgb(0, 128, 192);
}

std::optional<EditState> stateOfMode(int mode) {
  switch (mode) {
    case 1: return EditState::Confirmed;
    case 2: return EditState::Archive;
    case 3: return EditState::Modified;
    default: return std::nullopt;
  }
}

void fillFromDefaults(auto& table, int outOffset) {
  const std::vector<int> items = DefaultTableItems();
  for (int k = 1; k <= static_cast<int>(table.size()); ++k) {
    TablePoint& p = point(table, k);
    p.in = static_cast<std::int16_t>(items[static_cast<std::size_t>(k - 1)]);
    p.out = static_cast<std::int16_t>(items[static_cast<std::size_t>(outOffset + k - 1)]);
  }
}

const char* unitHeader(TableUnit unit) {
  switch (unit) {
    case TableUnit::Lambda: return "Lambda";
    case TableUnit::AirFuel: return "A/F";
    case TableUnit::Rich: break;
  }
  return "Richness";
}

}  // namespace

std::vector<int> DefaultTableItems() {
  std::vector<int> items;
  for (std::string_view list : {kDefaultTableIn, kDefaultTableOut}) {
    std::size_t start = 0;
    while (start <= list.size()) {
      const std::size_t end = std::min(list.find(';', start), list.size());
      items.push_back(static_cast<int>(ReadLeadingNumber(list.substr(start, end - start))));
      start = end + 1;
    }
  }
  return items;
}

bool IsDisplayModule(std::string_view deviceCode) { return deviceCode == "PNU"; }
bool IsLambdaModule(std::string_view deviceCode) { return deviceCode == "OX2"; }

DisplayTable& SelectedDisplayTable(TablePage& page) {
  return page.displayTables.at(static_cast<std::size_t>(std::clamp(page.TabStripCarto.selected, 1, 5) - 1));
}
const DisplayTable& SelectedDisplayTable(const TablePage& page) {
  return SelectedDisplayTable(const_cast<TablePage&>(page));
}

void OpenTablePage(TablePage& page, std::string_view deviceCode, double stoichRatio) {
  page.outputTable = {};
  fillFromDefaults(page.outputTable, kLambdaPoints);
  // Each display channel takes the first half of each list: In 1..750,
  // Out 800..1755.
  for (DisplayTable& table : page.displayTables) {
    table = {};
    fillFromDefaults(table, kDisplayPoints);
  }
  page.unit = TableUnit::Rich;
  page.TabStripCarto.selected = 1;
  page.SaisieText = {};
  page.GrilleConversion.currentRow = 1;
  page.GrilleConversion.currentColumn = 1;
  RefreshTableGrid(page, 0, deviceCode, stoichRatio);
}

std::string RichnessCellText(std::int16_t in, TableUnit unit, double stoichRatio) {
  if (unit == TableUnit::Rich) return formatFixedValue(in, false, 3);
  if (in == 0) return "65535";
  if (unit == TableUnit::Lambda) return formatFixedValue(roundToInt32(1000000.0 / in), false, 3);
  return formatFixedValue(roundToInt32(stoichRatio * 100000.0 / in), false, 2);
}

void RefreshTableGrid(TablePage& page, int mode, std::string_view deviceCode, double stoichRatio) {
  const bool display = IsDisplayModule(deviceCode);
  if (!display) {
    if (const std::optional<EditState> state = stateOfMode(mode)) {
      for (TablePoint& p : page.outputTable) p.inState = p.outState = *state;
    }
  }
  ConversionGrid& grid = page.GrilleConversion;
  const int points = display ? kDisplayPoints : kLambdaPoints;
  grid.rows.assign(static_cast<std::size_t>(points + 1), {});
  grid.rows[0][1].text = display ? "In" : unitHeader(page.unit);
  grid.rows[0][2].text = display ? "Out" : "Vout (mV)";
  for (int row = 1; row <= points; ++row) {
    const TablePoint& p = display ? SelectedDisplayTable(page)[static_cast<std::size_t>(row - 1)]
                                  : page.outputTable[static_cast<std::size_t>(row - 1)];
    ConversionGrid::Row& cells = grid.rows[static_cast<std::size_t>(row)];
    cells[0].text = std::to_string(row);
    // The lambda controller's numbers keep the grid's fixed-column face.
    if (display) cells[0].background = displayRowColour(row);
    cells[1] = {display ? std::to_string(p.in) : RichnessCellText(p.in, page.unit, stoichRatio), stateColour(p.inState)};
    cells[2] = {std::to_string(p.out), stateColour(p.outState)};
  }
  if (grid.currentRow < 1 || grid.currentRow > points) grid.currentRow = 1;
  if (grid.currentColumn < 1 || grid.currentColumn > 2) grid.currentColumn = 1;
}

void FactorySet_Click(TablePage& page, std::string_view deviceCode, double stoichRatio) {
  fillFromDefaults(page.outputTable, kLambdaPoints);
  for (TablePoint& p : page.outputTable) p.inState = p.outState = EditState::Modified;
  RefreshTableGrid(page, 3, deviceCode, stoichRatio);
}

void SelectTableUnit(TablePage& page, TableUnit unit, std::string_view deviceCode, double stoichRatio) {
  HideTableEditor(page);
  page.unit = unit;
  RefreshTableGrid(page, 0, deviceCode, stoichRatio);
}

void TabStripCarto_Click(TablePage& page, int tab, std::string_view deviceCode, double stoichRatio) {
  page.TabStripCarto.selected = tab >= 1 && tab <= kDisplayChannels ? tab : 1;
  RefreshTableGrid(page, 0, deviceCode, stoichRatio);
}

void GrilleConversion_Click(TablePage& page, int row, int column) {
  ConversionGrid& grid = page.GrilleConversion;
  if (row <= 0 || column <= 0 || row >= static_cast<int>(grid.rows.size()) || column >= ConversionGrid::kColumns) {
    HideTableEditor(page);
    return;
  }
  grid.currentRow = row;
  grid.currentColumn = column;
  page.SaisieText = {true, row, column, grid.cell(row, column).text, false};
}

void GrilleConversion_KeyEnter(TablePage& page) {
  GrilleConversion_Click(page, page.GrilleConversion.currentRow, page.GrilleConversion.currentColumn);
}

void SaisieText_Change(TablePage& page, std::string_view text) {
  if (!page.SaisieText.open) return;
  page.SaisieText.text = text;
  page.SaisieText.changed = true;
}

void SaisieText_Escape(TablePage& page) {
  ConversionEditor& editor = page.SaisieText;
  if (!editor.open) return;
  editor.text = page.GrilleConversion.cell(editor.row, editor.column).text;
  editor.open = false;
}

void SaisieText_Enter(TablePage& page, std::string_view deviceCode, double stoichRatio) {
  ConversionEditor& editor = page.SaisieText;
  if (!editor.open) return;
  editor.open = false;
  std::string text = editor.text;
  std::replace(text.begin(), text.end(), ',', '.');
  // An unreadable number counts as 0.
  const double value = ReadLeadingNumber(text);
  const bool display = IsDisplayModule(deviceCode);
  const int points = display ? kDisplayPoints : kLambdaPoints;
  if (editor.row < 1 || editor.row > points) return;
  TablePoint& p = display ? point(SelectedDisplayTable(page), editor.row) : point(page.outputTable, editor.row);
  const bool inColumn = editor.column == 1;
  if (display) {
    (inColumn ? p.in : p.out) = pointValue(value);
  } else if (inColumn) {
    // In is kept as richness x 1000 whatever the unit shows; a lambda or
    // A/F of 0 stands for the leanest point the word can hold.
    switch (page.unit) {
      case TableUnit::Rich: p.in = pointValue(value * 1000); break;
      case TableUnit::Lambda: p.in = value == 0 ? std::int16_t{32767} : pointValue(1000 / value); break;
      case TableUnit::AirFuel: p.in = value == 0 ? std::int16_t{32767} : pointValue(stoichRatio * 1000 / value); break;
    }
  } else {
    // The output runs from 0 to 5 V; the integer part of the millivolts.
    p.out = static_cast<std::int16_t>(std::clamp(value, 0.0, 5000.0));
  }
  (inColumn ? p.inState : p.outState) = EditState::Modified;
  RefreshTableGrid(page, 0, deviceCode, stoichRatio);
}

std::vector<TableBlock> TableBlocks(const TablePage& page, std::string_view deviceCode) {
  const auto block = [](std::uint16_t address, const auto& table, int first, bool in) {
    TableBlock b{address, {}};
    for (std::size_t k = 0; k < 16; ++k) {
      const TablePoint& p = table[static_cast<std::size_t>(first - 1) + k];
      const auto value = static_cast<std::uint16_t>(in ? p.in : p.out);
      b.bytes[2 * k] = static_cast<std::uint8_t>(value & 0xFF);
      b.bytes[2 * k + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    return b;
  };
  if (IsLambdaModule(deviceCode)) {
    const OutputTable& t = page.outputTable;
    return {block(kTablesBase, t, 1, true), block(kTablesBase + 0x20, t, 17, true),
            block(kTablesBase + 0x40, t, 1, false), block(kTablesBase + 0x60, t, 17, false)};
  }
  if (IsDisplayModule(deviceCode)) {
    const auto first = static_cast<std::uint16_t>(kTablesBase + kDisplayChannelStride * (page.TabStripCarto.selected - 1));
    const DisplayTable& t = SelectedDisplayTable(page);
    return {block(first, t, 1, true), block(static_cast<std::uint16_t>(first + 0x20), t, 1, false)};
  }
  return {};
}

std::vector<std::uint16_t> TableReadBlocks(const TablePage& page, std::string_view deviceCode) {
  std::vector<std::uint16_t> addresses;
  for (const TableBlock& block : TableBlocks(page, deviceCode)) addresses.push_back(block.address);
  return addresses;
}

bool DecodeTableBlock(TablePage& page, std::string_view deviceCode, std::uint16_t address,
                      std::span<const std::uint8_t> bytes, double stoichRatio) {
  if (address < kTablesBase) return false;
  const int offset = address - kTablesBase;
  TablePoint* first = nullptr;  // the block's first point
  bool in = true;
  if (IsLambdaModule(deviceCode) && offset < 4 * kBlockBytes) {
    // In 1-16, In 17-32, Out 1-16, Out 17-32.
    first = &point(page.outputTable, offset / kBlockBytes % 2 == 0 ? 1 : 17);
    in = offset < 2 * kBlockBytes;
  } else if (IsDisplayModule(deviceCode) && offset < kDisplayChannels * kDisplayChannelStride) {
    // Per channel: In 1-16, then Out 1-16.
    first = &point(page.displayTables[static_cast<std::size_t>(offset / kDisplayChannelStride)], 1);
    in = offset % kDisplayChannelStride < kBlockBytes;
  } else {
    return false;
  }
  const std::size_t points = std::min<std::size_t>(bytes.size(), kBlockBytes) / 2;
  for (std::size_t k = 0; k < points; ++k) {
    TablePoint& p = first[k];
    (in ? p.in : p.out) = word(bytes, k);
    (in ? p.inState : p.outState) = EditState::Confirmed;
  }
  // The unit in force is applied again as column 1 is redrawn.
  RefreshTableGrid(page, 1, deviceCode, stoichRatio);
  return true;
}

}  // namespace oxalis
