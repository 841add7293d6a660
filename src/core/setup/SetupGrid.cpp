// The channel grid `GrilleCan`: slot r of the channel table on row r, edited
// through a floating editor whose text is checked by column before the slot
// takes it.
#include <algorithm>
#include <cmath>

#include "setup/CanId.h"
#include "setup/Setup.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {

enum Column {
  kName = 1, kId, kMsb, kLsb, kMap, kA, kB, kC, kD, kDec, kMin, kMax, kUnit, kColour,
};

constexpr std::array<std::string_view, CanGridModel::kColumns - 1> kHeaders{
    "Ch", "Name", "ID", "MSB", "LSB", "Map", "A", "B", "C", "D", "Dec", "Min", "Max", "Unit"};
constexpr int kModuleChannelRows = 5;  // rows whose conversion the module does
constexpr std::uint8_t kMasterLevel = 4;

std::string number(double value) { return FormatPlainNumber(value); }

bool within(double value, double low, double high) { return value >= low && value <= high; }

std::uint8_t roundedByte(double value) { return static_cast<std::uint8_t>(std::clamp(std::round(value), 0.0, 255.0)); }

}  // namespace

void Setup::layoutChannelGrid() {
  CanGridModel& grid = window.GrilleCan;
  // The header and slots 1..10, or 1..12 at the Master level.
  const int slots = host_.userLevel() == kMasterLevel ? 12 : 10;
  grid.rows.assign(static_cast<std::size_t>(slots + 1), CanGridModel::Row{});
  for (std::size_t c = 0; c < kHeaders.size(); ++c) grid.rows[0][c].text = kHeaders[c];
  for (int r = 1; r <= slots; ++r) grid.cell(r, 0).text = std::to_string(r);
  grid.enabled = host_.deviceCode() != "OXL";
  grid.movedUp = false;
  grid.editor = {};
  grid.lastClickedRow = 1;
  grid.currentColumn = 1;
  grid.selectionTop = grid.selectionBottom = grid.selectionLeft = grid.selectionRight = 0;
}

void Setup::RefreshChannelGrid(int mode) {
  CanGridModel& grid = window.GrilleCan;
  const bool display = host_.deviceCode() == "PNU";
  const int firstColumn = mode == 1 ? kId : kName;
  const int lastColumn = mode == 1 ? kLsb : kColour;
  std::optional<std::uint32_t> paint;
  if (mode == 1) paint = kConfirmedColour;
  if (mode == 2) paint = kArchiveColour;
  if (mode == 3) paint = kModifiedColour;
  for (int r = 1; r < static_cast<int>(grid.rows.size()) && r <= ChannelTable::kSlots; ++r) {
    // Row 5 is the display's analogue input; the other modules have none.
    if (r == kModuleChannelRows && !display) continue;
    const ChannelDefinition& ch = channels_.slot(r);
    const bool moduleRow = r <= kModuleChannelRows;
    const auto set = [&](int column, std::string text) {
      if (column < firstColumn || column > lastColumn) return;
      GridCell& cell = grid.cell(r, column);
      cell.text = std::move(text);
      if (paint) cell.background = paint;
    };
    set(kName, ch.Name);
    set(kMin, number(ch.Min));
    set(kMax, number(ch.Max));
    set(kUnit, ch.Unit);
    if (moduleRow) {
      set(kId, ch.ID);
      set(kMsb, std::to_string(ch.MSB));
      set(kLsb, std::to_string(ch.LSB));
      set(kMap, std::to_string(ch.Map));
      set(kA, number(ch.A));
      set(kB, number(ch.B));
      set(kC, number(ch.C));
      set(kD, number(ch.D));
      set(kDec, std::to_string(ch.Dec));
    }
    if (lastColumn == kColour) grid.cell(r, kColour) = {{}, ch.Color};
  }
}

void Setup::GrilleCan_Click(int row, int column) {
  CanGridModel& grid = window.GrilleCan;
  if (!grid.enabled || row < 0 || row >= static_cast<int>(grid.rows.size())) return;
  // Clicking elsewhere leaves the open editor, which keeps what was typed.
  if (grid.editor.open) editorCommit();
  if (row == 0 || column <= 0) {
    if (row > 0 && column == 0) openToolbox(row);
    notify();
    return;
  }
  grid.lastClickedRow = row;
  grid.currentColumn = column;
  if (column == kColour) {
    ChannelDefinition& ch = channels_.slot(row);
    if (const std::optional<std::uint32_t> colour = dialogs_.chooseColor(ch.Color)) {
      ch.Color = *colour;
      grid.cell(row, kColour).background = *colour;
      setModified();
      host_.channelChanged(row);
    }
    notify();
    return;
  }
  grid.editor = {true, row, column, grid.cell(row, column).text, false};
  notify();
}

void Setup::GrilleCan_KeyEnter() {
  CanGridModel& grid = window.GrilleCan;
  if (grid.editor.open) return editorCommit();
  GrilleCan_Click(grid.lastClickedRow, grid.currentColumn);
}

void Setup::GrilleCan_DblClick(int row, int column) {
  CanGridModel& grid = window.GrilleCan;
  if (row == 0) {
    grid.selectionTop = 1;
    grid.selectionBottom = std::min(host_.channelCount(), static_cast<int>(grid.rows.size()) - 1);
    grid.selectionLeft = 1;
    grid.selectionRight = kColour;
  } else if (column == 0) {
    grid.selectionTop = grid.selectionBottom = row;
    grid.selectionLeft = 1;
    grid.selectionRight = kColour;
  }
  notify();
}

void Setup::GrilleCan_RightClick(int row) {
  if (row > 0 && row < static_cast<int>(window.GrilleCan.rows.size())) window.GrilleCan.lastClickedRow = row;
  notify();
}

void Setup::editorEdited(std::string_view text) {
  window.GrilleCan.editor.text = std::string(text);
  window.GrilleCan.editor.typing = true;
}

void Setup::editorEscape() {
  window.GrilleCan.editor = {};
  notify();
}

void Setup::editorCommit() {
  CanGridModel::Editor editor = window.GrilleCan.editor;
  if (!editor.open) return;
  window.GrilleCan.editor = {};
  if (editor.typing) {
    std::replace(editor.text.begin(), editor.text.end(), ',', '.');
    window.GrilleCan.cell(editor.row, editor.column).background = kModifiedColour;
    if (checkGridValue(editor.row, editor.column, editor.text)) {
      setModified();
      host_.channelChanged(editor.row);
    }
    RefreshChannelGrid(0);
  }
  notify();
}

// A typed cell, checked by its column; an accepted value goes into the slot.
bool Setup::checkGridValue(int row, int column, std::string text) {
  ChannelDefinition& ch = channels_.slot(row);
  const double v = ReadLeadingNumber(text);
  // The display keeps its channels' scales as integers in units of
  // 10^-Dec, which must fit a signed word.
  const bool scaledWord = host_.deviceCode() == "PNU" && row <= kModuleChannelRows;
  // A typed decimal scaled by 10^Dec may land a hair past an integer
  // (32.767 x 1000): the check allows for the binary fraction.
  const auto fitsWord = [](double scaled) { return within(scaled, -32768 - 1e-6, 32767 + 1e-6); };
  switch (column) {
    case kName: ch.Name = text; return true;
    case kUnit: ch.Unit = text; return true;
    case kId: {
      const ParsedCanId parsed = parseIdentifier(text);
      if (parsed.accepted) ch.ID = parsed.text;
      return parsed.accepted;
    }
    case kMsb:
    case kLsb:
      if (!within(v, 0, 8)) return false;
      (column == kMsb ? ch.MSB : ch.LSB) = roundedByte(v);
      return true;
    case kMap:
      if (!within(v, 0, 5)) return false;
      ch.Map = roundedByte(v);
      return true;
    case kA: case kB: case kC: case kD:
      if (!fitsWord(v)) return false;
      (column == kA ? ch.A : column == kB ? ch.B : column == kC ? ch.C : ch.D) = v;
      return true;
    case kDec: {
      if (!within(v, 0, 3)) return false;
      const double factor = std::pow(10.0, std::floor(v));
      if (scaledWord && !(std::abs(ch.Min * factor) < 32767 && std::abs(ch.Max * factor) < 32767)) return false;
      ch.Dec = static_cast<std::uint8_t>(std::floor(v));
      return true;
    }
    case kMin:
    case kMax:
      if (!fitsWord(scaledWord ? v * std::pow(10.0, ch.Dec) : v)) return false;
      (column == kMin ? ch.Min : ch.Max) = v;
      return true;
    default:
      return false;
  }
}

// The row header opens the coefficient toolbox on the slot's conversion,
// with two sample inputs and what the channel makes of them.
void Setup::openToolbox(int slot) {
  const ChannelDefinition& ch = channels_.slot(slot);
  CoefficientToolbox& box = window.toolbox;
  const auto convert = [&](double x) { return number(safeDivide(ch.A * x + ch.B, ch.C * x + ch.D)); };
  box = {};
  box.visible = true;
  box.slot = slot;
  box.linear = ch.A != 0;
  if (box.linear) {
    box.VX1 = "0";
    box.VX2 = "1000";
    box.VY1 = convert(0);
    box.VY2 = convert(1000);
  } else {
    box.VX1 = "1000";
    box.VY1 = number(safeDivide(ch.B, ch.C * 1000 + ch.D));
  }
  box.decimals = std::to_string(ch.Dec);
}

}  // namespace oxalis
