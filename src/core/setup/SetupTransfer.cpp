// Reading the configuration from the module and writing it back: the
// requests in the order the module expects them, and the check that what
// was written is what the module now holds.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "config/ProbeTime.h"
#include "link/Requests.h"
#include "setup/CanId.h"
#include "setup/ConfigCodec.h"
#include "setup/Setup.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {

constexpr std::uint8_t kBasic = 1;
constexpr std::uint8_t kReloadConfiguration = 3;
constexpr std::uint8_t kReloadTime = 4;
constexpr std::uint8_t kProbeTimeOffset = 0x40;
constexpr int kRepliesAwaitedTicks = 10;  // about 3 s of refresh ticks without a reply
constexpr int kGridModuleRows = 4;        // rows whose identifier and bytes the module keeps
constexpr int kDisplayRecords = 5;

bool modified(const Control& c) { return c.state == EditState::Modified; }

std::string asChars(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::uint32_t folded(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t value = 0;
  for (std::uint8_t b : bytes) value = value << 8 | b;
  return value;
}

std::vector<std::uint8_t> word(double value) {
  const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(std::floor(value), -32768.0, 32767.0)));
  return {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

// A display record's cells: grid column, offset in the record, size.
struct RecordCell {
  int column;
  DisplayRecordField field;
};
constexpr std::array<RecordCell, 8> kRecordCells{{{5, display_record::kMap},
                                                 {6, display_record::kA},
                                                 {7, display_record::kB},
                                                 {8, display_record::kC},
                                                 {9, display_record::kD},
                                                 {10, display_record::kDec},
                                                 {11, display_record::kMin},
                                                 {12, display_record::kMax}}};

constexpr std::array<std::string_view, 13> kColumnNames{"", "Name", "ID", "MSB", "LSB", "Map", "A",
                                                        "B", "C", "D", "Dec", "Min", "Max"};

}  // namespace

bool Setup::checkConnected() {
  if (host_.linkUp()) return true;
  if (host_.deviceCode() == "PNU")
    dialogs_.message("No Display detected. Quit setup window and connect again with a Display", "Error",
                     MessageIcon::Error);
  else
    dialogs_.message("No Oxalis detected. Quit setup window and connect again with a Oxalis", "Error",
                     MessageIcon::Error);
  return false;
}

void Setup::hideEditors() { window.GrilleCan.editor = {}; }

std::vector<std::string> Setup::readConfig(bool all) {
  const SetupWindowModel& w = window;
  std::vector<std::string> out;
  const auto ask = [&](bool due, Setting setting) {
    if (all || due) out.push_back(readSetting(configOffset(setting), configEntry(setting).bytes));
  };
  const bool display = host_.deviceCode() == "PNU";
  ask(modified(w.BaudRateList), Setting::CanBitTiming);
  ask(modified(w.ID[0]), Setting::TransmitId1);
  ask(modified(w.ID[1]), Setting::TransmitId2);
  ask(modified(w.ID[2]), Setting::DisplayId);
  // The identifier is also red when a speed choice marked it: it was
  // written then, and its read-back must come.
  ask(modified(w.ListSensorSkynam) || modified(w.ID[3]), Setting::SkynamId);
  ask(modified(w.ID[4]), Setting::EcuId);
  bool modeInputs = false;
  for (const Control* c : {&w.Option_Skynam, &w.Option_User, &w.SelMsg[0], &w.SelMsg[1], &w.SelMsg[2], &w.Format_Intel,
                           &w.TypeDataMSG1})
    modeInputs = modeInputs || modified(*c);
  ask(modeInputs, Setting::ModeByte);
  ask(modified(w.ListeProtocoles), Setting::EcuProtocol);
  if (!display) {
    ask(modified(w.Vout_NOT), Setting::VoutInvalid);
    ask(modified(w.Vout_HS), Setting::VoutProbeFault);
    ask(modified(w.Rich_NOT), Setting::RichnessInvalid);
    ask(modified(w.RPM_threshold), Setting::RpmThreshold);
    ask(modified(w.Heater_Timeout), Setting::HeaterTimeout);
    ask(modified(w.Check_Heater) || modified(w.Check_WarmInit), Setting::HeaterFlags);
  }
  ask(modified(w.Rich_HS), Setting::RichnessProbeFault);
  ask(modified(w.Combo_Filtre), Setting::FilterCoefficient);
  ask(modified(w.W_Stoichio), Setting::StoichiometricRatio);

  // The grid, column by column, a cell being asked for when it is red.
  const CanGridModel& grid = w.GrilleCan;
  const auto cellDue = [&](int row, int column) {
    return all || (row < static_cast<int>(grid.rows.size()) && grid.cell(row, column).background == kModifiedColour);
  };
  for (int row = 1; row <= kGridModuleRows; ++row)
    if (cellDue(row, 2)) out.push_back(readSetting(channelIdOffset(row), 4));
  for (int row = 1; row <= kGridModuleRows; ++row)
    if (cellDue(row, 3)) out.push_back(readSetting(channelMsbOffset(row), 1));
  for (int row = 1; row <= kGridModuleRows; ++row)
    if (cellDue(row, 4)) out.push_back(readSetting(channelLsbOffset(row), 1));
  if (display) {
    for (const RecordCell& cell : kRecordCells)
      for (int row = 1; row <= kDisplayRecords; ++row)
        if (cellDue(row, cell.column))
          out.push_back(readSetting(displayRecordOffset(row, cell.field), cell.field.bytes));
  }
  window.caption = "SETUP" + std::string(display ? " ( Display CAN S/N " : " ( Oxalis S/N ") +
                   std::to_string(host_.serialNumber()) + " )";
  return out;
}

std::string Setup::readSetting(std::uint8_t offset, int bytes) {
  if (std::find(awaitedSettings_.begin(), awaitedSettings_.end(), offset) == awaitedSettings_.end())
    awaitedSettings_.push_back(offset);
  ticksWithoutReply_ = 0;
  return records::ReadParams(offset, bytes);
}

void Setup::settingArrived(std::uint8_t offset) {
  if (std::erase(awaitedSettings_, offset) > 0) ticksWithoutReply_ = 0;
}

void Setup::startRead() {
  if (expected_.empty() && expectedBlocks_.empty()) window.transferStatus.clear();
}

void Setup::ReadCfgCAN_Click() {
  hideEditors();
  startRead();
  std::vector<std::string> out{records::StopFrames()};
  if (checkConnected()) {
    std::vector<std::string> reads = readConfig(true);
    out.insert(out.end(), reads.begin(), reads.end());
  }
  out.push_back(records::StartFrames());
  host_.send(std::move(out));
  notify();
}

void Setup::ReadCfg_Selection_Click() {
  hideEditors();
  startRead();
  if (checkConnected()) host_.send(readConfig(false));
  notify();
}

void Setup::expect(std::uint8_t offset, const std::vector<std::uint8_t>& bytes, std::string name,
                   std::optional<Field> field, int gridRow, int gridColumn) {
  std::erase_if(expected_, [&](const Expected& e) { return e.offset == offset; });
  expected_.push_back({offset, folded(bytes), std::move(name), field, gridRow, gridColumn});
}

std::vector<std::string> Setup::writeConfig(bool all) {
  const SetupWindowModel& w = window;
  const std::string code = host_.deviceCode();
  const bool display = code == "PNU";
  std::vector<std::string> out{records::StopFrames(), records::kEepromArea};
  expected_.clear();
  expectedBlocks_.clear();
  const auto write = [&](Setting setting, std::string name, std::optional<Field> field) {
    const std::vector<std::uint8_t> bytes = EncodeField(setting);
    if (bytes.empty()) return;
    out.push_back(records::WriteParams(configOffset(setting), asChars(bytes)));
    expect(configOffset(setting), bytes, std::move(name), field);
  };
  const auto due = [&](const Control& c) { return all || modified(c); };
  const std::vector<std::uint8_t> oneMegabit(kCanSpeeds[0].timing.begin(), kCanSpeeds[0].timing.end());
  const auto writeOneMegabit = [&] {
    out.push_back(records::WriteParams(configOffset(Setting::CanBitTiming), asChars(oneMegabit)));
    expect(configOffset(Setting::CanBitTiming), oneMegabit, "Baud Rate", Field::BaudRateList);
  };

  const bool skynamProtocolShown = w.ListeProtocoles.index == kSkynamProtocol;
  if (host_.userLevel() == kBasic &&
      (all || modified(w.ListSensorSkynam) || (modified(w.ListeProtocoles) && skynamProtocolShown))) {
    write(Setting::SkynamId, "Skynam sensor", Field::ListSensorSkynam);
    if (w.Option_Skynam.checked) writeOneMegabit();
  }

  if (code == "OX2" || display || code == "RMW") {
    constexpr std::array<Setting, 5> kIds{Setting::TransmitId1, Setting::TransmitId2, Setting::DisplayId,
                                          Setting::SkynamId, Setting::EcuId};
    for (std::size_t i = 0; i < kIds.size(); ++i) {
      const Control& id = w.ID[i];
      if (due(id) && (id.enabled || i == 3))
        write(kIds[i], id.caption.empty() ? "Skynam identifier" : id.caption, static_cast<Field>(static_cast<int>(Field::ID0) + static_cast<int>(i)));
    }
    const CanGridModel& grid = w.GrilleCan;
    const int rows = std::min(host_.channelCount(), static_cast<int>(grid.rows.size()) - 1);
    for (int row = 1; row <= rows; ++row) {
      const ChannelDefinition& ch = channels_.slot(row);
      const auto cellDue = [&](int column) { return all || grid.cell(row, column).background == kModifiedColour; };
      const auto writeCell = [&](int column, std::uint8_t offset, std::vector<std::uint8_t> bytes) {
        if (!cellDue(column)) return;
        out.push_back(records::WriteParams(offset, asChars(bytes)));
        expect(offset, bytes, "CAN channel " + std::to_string(row) + " " + std::string(kColumnNames[column]),
               std::nullopt, row, column);
      };
      if (row <= kGridModuleRows) {
        const auto id = BigEndian4(EncodeCanId(ch.ID, false));
        writeCell(2, channelIdOffset(row), {id.begin(), id.end()});
        writeCell(3, channelMsbOffset(row), {ch.MSB});
        writeCell(4, channelLsbOffset(row), {ch.LSB});
      }
      const double unit = std::pow(10.0, ch.Dec);
      for (const RecordCell& cell : kRecordCells) {
        std::vector<std::uint8_t> bytes;
        switch (cell.column) {
          case 5: bytes = {ch.Map}; break;
          case 6: bytes = word(ch.A); break;
          case 7: bytes = word(ch.B); break;
          case 8: bytes = word(ch.C); break;
          case 9: bytes = word(ch.D); break;
          case 10: bytes = {ch.Dec}; break;
          // A typed decimal times 10^Dec may land a hair below its integer.
          case 11: bytes = word(std::floor(ch.Min * unit + 1e-9)); break;
          default: bytes = word(std::floor(ch.Max * unit + 1e-9)); break;
        }
        writeCell(cell.column, displayRecordOffset(row, cell.field), bytes);
      }
    }
    // The controllers and the steering wheel keep the records without
    // reading them back: only the display's are checked.
    if (!display)
      std::erase_if(expected_, [](const Expected& e) { return e.gridColumn >= 5; });
  }

  if (due(w.BaudRateList) && !w.Option_Skynam.checked && w.BaudRateList.enabled)
    write(Setting::CanBitTiming, "Baud Rate", Field::BaudRateList);
  if ((all || modified(w.Option_Skynam) || skynamProtocolShown) && w.Option_Skynam.checked) writeOneMegabit();
  bool modeInputs = all;
  for (const Control* c : {&w.SelMsg[0], &w.SelMsg[1], &w.SelMsg[2], &w.TypeDataMSG1, &w.Format_Intel, &w.Option_Skynam,
                           &w.Option_User})
    modeInputs = modeInputs || modified(*c);
  if (modeInputs) write(Setting::ModeByte, "Word4, Intel format and messages", Field::TypeDataMSG1);
  if (due(w.ListeProtocoles)) write(Setting::EcuProtocol, "Protocole", Field::ListeProtocoles);
  if (!display) {
    const auto typed = [&](const Control& c, Setting setting, Field field, bool needsEnabled = true) {
      if (due(c) && (c.enabled || !needsEnabled)) write(setting, c.caption, field);
    };
    typed(w.Vout_NOT, Setting::VoutInvalid, Field::Vout_NOT);
    typed(w.Vout_HS, Setting::VoutProbeFault, Field::Vout_HS);
    typed(w.Rich_NOT, Setting::RichnessInvalid, Field::Rich_NOT);
    typed(w.Rich_HS, Setting::RichnessProbeFault, Field::Rich_HS);
    typed(w.RPM_threshold, Setting::RpmThreshold, Field::RPM_threshold, false);
    typed(w.Heater_Timeout, Setting::HeaterTimeout, Field::Heater_Timeout, false);
    if (all || modified(w.Check_Heater) || modified(w.Check_WarmInit))
      write(Setting::HeaterFlags, "Heater strategy", Field::Check_Heater);
  }
  if (due(w.Combo_Filtre) && w.Combo_Filtre.enabled) write(Setting::FilterCoefficient, w.Combo_Filtre.caption, Field::Combo_Filtre);
  if (due(w.W_Stoichio) && w.W_Stoichio.enabled) write(Setting::StoichiometricRatio, "Stoichiometric", Field::W_Stoichio);

  // The read-back: everything after "Write all", otherwise exactly what is
  // still red, which is what was just written.
  std::vector<std::string> reads = readConfig(all);
  if (all) out.push_back(records::StopFrames());
  out.insert(out.end(), reads.begin(), reads.end());
  if (all) out.push_back(records::StartFrames());
  out.push_back(records::ReloadRequest(kReloadConfiguration));
  if (host_.streamRunning()) out.push_back(records::StartFrames());
  ticksWithoutReply_ = 0;
  window.transferStatus = expected_.empty() ? std::string() : "Writing...";
  return out;
}

void Setup::WriteCfgCAN_Click() {
  hideEditors();
  if (checkConnected()) host_.send(writeConfig(true));
  notify();
}

void Setup::WriteCfg_selection_Click() {
  hideEditors();
  if (checkConnected()) host_.send(writeConfig(false));
  notify();
}

// A read-back reply of a written setting. An equal one settles it (the
// field has turned green); a different one keeps the field red and waits
// for a later reply, since a reply to a read asked for before the write may
// come first.
void Setup::verify(std::uint8_t offset, std::uint32_t value) {
  const auto it = std::find_if(expected_.begin(), expected_.end(), [&](const Expected& e) { return e.offset == offset; });
  if (it == expected_.end()) return;
  ticksWithoutReply_ = 0;
  if (it->value == value) {
    expected_.erase(it);
  } else {
    it->differed = true;
    if (it->field) window.control(*it->field).state = EditState::Modified;
    if (it->gridRow > 0 && it->gridRow < static_cast<int>(window.GrilleCan.rows.size()))
      window.GrilleCan.cell(it->gridRow, it->gridColumn).background = kModifiedColour;
  }
  if (expected_.empty()) finishVerification();
}

std::string Setup::expectedNames(const std::vector<Expected>& list, bool differed) {
  std::string out;
  for (const Expected& e : list)
    if (e.differed == differed) out += (out.empty() ? "" : ", ") + e.name;
  return out;
}

// Every reply is in, or the module has stopped answering.
void Setup::finishVerification() {
  const std::string differing = expectedNames(expected_, true);
  const std::string silent = expectedNames(expected_, false);
  if (differing.empty() && silent.empty())
    window.transferStatus = "Written and verified";
  else if (silent.empty())
    window.transferStatus = "Written, but the module holds other values for: " + differing;
  else if (differing.empty())
    window.transferStatus = "No answer from the module for: " + silent;
  else
    window.transferStatus =
        "Written, but the module holds other values for: " + differing + "; no answer for: " + silent;
  expected_.clear();
}

std::string Setup::awaitedNames() const {
  std::string out;
  char text[40];
  for (std::uint8_t offset : awaitedSettings_) {
    std::snprintf(text, sizeof text, "configuration byte 0x%02X", static_cast<unsigned>(offset));
    out += (out.empty() ? "" : ", ") + std::string(text);
  }
  for (std::uint16_t address : awaitedBlocks_) out += (out.empty() ? "" : ", ") + tableBlockName(address);
  return out;
}

// A module that stopped answering: what was written and not read back is
// named, or else what was asked for and never came.
void Setup::tick() {
  if (!transferring() || ++ticksWithoutReply_ < kRepliesAwaitedTicks) return;
  if (!expected_.empty() || !expectedBlocks_.empty()) {
    for (const TableBlock& block : expectedBlocks_)
      expected_.push_back({0, 0, tableBlockName(block.address), std::nullopt});
    expectedBlocks_.clear();
    finishVerification();
  } else {
    window.transferStatus = "No answer from the module for: " + awaitedNames();
  }
  awaitedSettings_.clear();
  awaitedBlocks_.clear();
  notify();
}

void Setup::Send_Time_Click() {
  hideEditors();
  const std::optional<std::uint32_t> hundredths = ParseProbeTime(window.Set_Time);
  if (!hundredths) {
    dialogs_.message("Invalid time format(hhhhh:mm:ss)", "ERROR", MessageIcon::Warning);
    return;
  }
  const auto bytes = ProbeTimeBytes(*hundredths);
  host_.send({records::kEepromArea, records::WriteParams(kProbeTimeOffset, std::string(bytes.begin(), bytes.end())),
              records::ReloadRequest(kReloadTime)});
}

}  // namespace oxalis
