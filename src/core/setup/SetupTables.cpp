// The setup window's table page and coefficient toolbox: the output tables
// edited, read from and written to the module's program memory, .TAB files,
// and the toolbox's coefficients put into the channel grid.
#include <algorithm>
#include <cstdio>

#include "config/MemoryMap.h"
#include "link/Requests.h"
#include "setup/CoefficientToolbox.h"
#include "setup/Setup.h"
#include "setup/TableFile.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {
constexpr std::uint8_t kBlockBytes = 32;
}  // namespace

std::string Setup::tableBlockName(std::uint16_t address) {
  char text[40];
  std::snprintf(text, sizeof text, "output table block 0x%04X", static_cast<unsigned>(address));
  return text;
}

std::string Setup::readBlock(std::uint16_t address) {
  if (std::find(awaitedBlocks_.begin(), awaitedBlocks_.end(), address) == awaitedBlocks_.end())
    awaitedBlocks_.push_back(address);
  ticksWithoutReply_ = 0;
  return records::ReadMemory(address, kBlockBytes);
}

void Setup::refreshTables(int mode) { RefreshTableGrid(window.tables, mode, host_.deviceCode(), host_.stoichRatio()); }

std::vector<std::string> Setup::tableReads() {
  std::vector<std::string> out{records::StopFrames()};
  for (std::uint16_t address : TableReadBlocks(window.tables, host_.deviceCode())) out.push_back(readBlock(address));
  out.push_back(records::StartFrames());
  return out;
}

// Opening with a module streaming: its whole configuration and its tables
// (on the display all ten blocks, every channel's table) are asked for.
void Setup::openingReads() {
  if (!host_.dataFlowing()) return;
  std::vector<std::string> out{records::StopFrames()};
  const std::vector<std::string> settings = readConfig(true);
  out.insert(out.end(), settings.begin(), settings.end());
  out.push_back(records::StartFrames());
  if (host_.deviceCode() == "PNU") {
    host_.holdKeepAlive(2);
    out.push_back(records::StopFrames());
    for (std::uint16_t address = memory_map::kOutputTablesFirst; address <= memory_map::kOutputTablesLast;
         address = static_cast<std::uint16_t>(address + kBlockBytes))
      out.push_back(readBlock(address));
    out.push_back(records::StartFrames());
  } else {
    const std::vector<std::string> tables = tableReads();
    out.insert(out.end(), tables.begin(), tables.end());
  }
  host_.send(std::move(out));
}

void Setup::ReadVout_Click() {
  HideTableEditor(window.tables);
  hideEditors();
  startRead();
  if (checkConnected()) host_.send(tableReads());
  notify();
}

// The blocks go to program memory, are read back (the grid then shows what
// the module holds, and each block is checked against what was sent), and
// the configuration memory is selected again for later settings.
void Setup::WriteVout_Click() {
  HideTableEditor(window.tables);
  hideEditors();
  if (!checkConnected()) return notify();
  const std::vector<TableBlock> blocks = TableBlocks(window.tables, host_.deviceCode());
  if (blocks.empty()) return notify();
  std::vector<std::string> out{records::kProgramMemoryArea};
  for (const TableBlock& block : blocks)
    out.push_back(records::WriteMemory(block.address, std::string(block.bytes.begin(), block.bytes.end())));
  const std::vector<std::string> reads = tableReads();
  out.insert(out.end(), reads.begin(), reads.end());
  out.push_back(records::kEepromArea);
  expected_.clear();
  expectedBlocks_ = blocks;
  ticksWithoutReply_ = 0;
  window.transferStatus = "Writing...";
  host_.send(std::move(out));
  notify();
}

void Setup::memoryBlock(std::uint16_t address, std::span<const std::uint8_t> bytes) {
  if (std::erase(awaitedBlocks_, address) > 0) ticksWithoutReply_ = 0;
  if (!DecodeTableBlock(window.tables, host_.deviceCode(), address, bytes, host_.stoichRatio())) return;
  const auto it = std::find_if(expectedBlocks_.begin(), expectedBlocks_.end(),
                               [&](const TableBlock& b) { return b.address == address; });
  if (it != expectedBlocks_.end()) {
    ticksWithoutReply_ = 0;
    const bool equal = std::equal(bytes.begin(), bytes.end(), it->bytes.begin(), it->bytes.end());
    expectedBlocks_.erase(it);
    if (!equal) {
      // What the module holds is on screen (green); the table still differs
      // from what was written.
      expected_.push_back({0, 0, tableBlockName(address), std::nullopt, 0, 0, true});
    }
    if (expectedBlocks_.empty()) finishVerification();
  }
  notify();
}

void Setup::FactorySet_Click() {
  oxalis::FactorySet_Click(window.tables, host_.deviceCode(), host_.stoichRatio());
  setModified();
  notify();
}

void Setup::tableUnit_Click(TableUnit unit) {
  SelectTableUnit(window.tables, unit, host_.deviceCode(), host_.stoichRatio());
  hideEditors();
  notify();
}

void Setup::TabStripCarto_Click(int tab) {
  oxalis::TabStripCarto_Click(window.tables, tab, host_.deviceCode(), host_.stoichRatio());
  notify();
}

void Setup::GrilleConversion_Click(int row, int column) {
  hideEditors();
  oxalis::GrilleConversion_Click(window.tables, row, column);
  notify();
}

void Setup::GrilleConversion_KeyEnter() {
  oxalis::GrilleConversion_KeyEnter(window.tables);
  notify();
}

void Setup::SaisieText_Change(std::string_view text) { oxalis::SaisieText_Change(window.tables, text); }

void Setup::SaisieText_Escape() {
  oxalis::SaisieText_Escape(window.tables);
  notify();
}

void Setup::SaisieText_Enter() {
  const bool changed = window.tables.SaisieText.open && window.tables.SaisieText.changed;
  // The A/F unit converts with the ratio the stoichiometric input shows.
  oxalis::SaisieText_Enter(window.tables, host_.deviceCode(), ReadLeadingNumber(window.W_Stoichio.text));
  refreshTables(0);
  if (changed) setModified();
  notify();
}

void Setup::LoadMapFile_Click() {
  if (oxalis::LoadMapFile(dialogs_, host_.libraryFolder(), window.tables, host_.deviceCode(), host_.stoichRatio()))
    setModified();
  notify();
}

void Setup::SaveMapFile_Click() { oxalis::SaveMapFile(dialogs_, host_.libraryFolder(), window.tables, host_.deviceCode()); }

void Setup::toolboxEdited(ToolboxInput input, std::string_view text) {
  CoefficientToolbox& box = window.toolbox;
  std::string* fields[] = {&box.VX1, &box.VX2, &box.VY1, &box.VY2, &box.decimals};
  *fields[static_cast<int>(input)] = std::string(text);
}

void Setup::toolboxForm_Click(bool linear) {
  window.toolbox.linear = linear;
  notify();
}

// The coefficients go into the toolbox's channel: its grid row turns red
// and the toolbox closes; a coefficient that does not fit a word is
// refused with its message.
void Setup::SET_COEF_Click() {
  CoefficientToolbox& box = window.toolbox;
  const CoefficientResult result = SET_COEF({box.VX1, box.VX2, box.VY1, box.VY2, box.decimals, box.linear});
  if (!result.ok()) {
    dialogs_.message(result.error, "Error", MessageIcon::Error);
    return;
  }
  if (box.slot < 1 || box.slot >= static_cast<int>(window.GrilleCan.rows.size())) return;
  ChannelDefinition& ch = channels_.slot(box.slot);
  ch.A = result.A;
  ch.B = result.B;
  ch.C = result.C;
  ch.D = result.D;
  ch.Dec = static_cast<std::uint8_t>(result.decimals);
  RefreshChannelGrid(0);
  for (int column = 6; column <= 10; ++column) window.GrilleCan.cell(box.slot, column).background = kModifiedColour;
  host_.channelChanged(box.slot);
  setModified();
  box.visible = false;
  notify();
}

}  // namespace oxalis
