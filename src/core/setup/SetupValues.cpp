// The setup window's values and the module's configuration memory:
// decoding what the module holds into the inputs (turning them green), and
// encoding the inputs into the bytes written at each setting's offset.
#include <algorithm>
#include <cmath>

#include "config/ChannelScaling.h"
#include "setup/CanId.h"
#include "setup/ConfigCodec.h"
#include "setup/Setup.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {

constexpr int kRpmChannel = 1;  // the engine speed comes on CAN channel 1

void confirm(Control& c) { c.state = EditState::Confirmed; }

std::uint32_t wordOf(double value) { return value < 0 ? 0 : static_cast<std::uint32_t>(std::min(value, 4294967295.0)); }

std::vector<std::uint8_t> bytes(std::uint32_t value, int count) {
  std::vector<std::uint8_t> out;
  for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return out;
}

}  // namespace

void Setup::DecodeConfigValue(std::uint8_t offset, double value) {
  settingArrived(offset);
  SetupWindowModel& w = window;
  const std::uint32_t n = wordOf(value);
  const bool firstGeneration = host_.deviceCode() == "OXL";
  switch (offset) {
    case configOffset(Setting::CanBitTiming): {
      const CanTiming timing = CanBitRate(TimingHex(n));
      w.BaudRateList.index = -1;
      w.BaudRateList.text = "???";
      for (std::size_t i = 0; i < kCanSpeeds.size(); ++i)
        if (kCanSpeeds[i].kbits == timing.kbits) w.BaudRateList.choose(static_cast<int>(i));
      if (host_.factoryWindowShown()) w.BaudRateList.tip = CanTimingTip(timing);
      confirm(w.BaudRateList);
      setupModified = false;
      break;
    }
    case configOffset(Setting::ModeByte):
      decodeModeByte(n);
      setupModified = false;
      break;
    case configOffset(Setting::TransmitId1):
    case configOffset(Setting::TransmitId2):
    case configOffset(Setting::DisplayId):
    case configOffset(Setting::EcuId): {
      const std::size_t box = offset == configOffset(Setting::EcuId)
                                  ? 4
                                  : static_cast<std::size_t>((offset - configOffset(Setting::TransmitId1)) / 4);
      w.ID[box].text = FormatCanId(n, firstGeneration);
      confirm(w.ID[box]);
      break;
    }
    case configOffset(Setting::SkynamId): {
      // The sensor's digit ends the identifier; anything else is sensor 1.
      const int last = static_cast<int>(n & 0xF);
      const int digit = last < 10 ? last : 0;
      w.ID[3].text = "0x005AFF0" + std::to_string(digit);
      w.ID[3].enabled = false;
      w.ID[3].state = EditState::Normal;
      w.ListSensorSkynam.choose(digit);
      confirm(w.ListSensorSkynam);
      break;
    }
    case configOffset(Setting::StoichiometricRatio):
      // An erased module answers 0xFFFF: the petrol ratio stands in.
      host_.setStoichRatio(n > 5000 ? 14.57 : n / 100.0);
      w.W_Stoichio.text = FormatPlainNumber(host_.stoichRatio());
      confirm(w.W_Stoichio);
      break;
    case configOffset(Setting::FilterCoefficient):
      if (const std::optional<int> position = FilterPosition(n)) {
        w.Combo_Filtre.choose(*position);
        confirm(w.Combo_Filtre);
      } else {
        // A coefficient of no entry shows "Medium", red, so that the next
        // write stores a valid one.
        w.Combo_Filtre.choose(kFilterMedium);
        w.Combo_Filtre.state = EditState::Modified;
      }
      break;
    case configOffset(Setting::EcuProtocol): {
      int index = n <= 254 ? static_cast<int>(n) : kNoProtocol;
      if (n == 255 && w.Option_Skynam.checked) index = kSkynamProtocol;
      if (index >= static_cast<int>(kProtocols.size())) index = kNoProtocol;
      w.ListeProtocoles.choose(index);
      applyProtocol(index);
      applyUserLevel();
      confirm(w.ListeProtocoles);
      break;
    }
    case configOffset(Setting::VoutInvalid):
    case configOffset(Setting::VoutProbeFault): {
      Control& c = offset == configOffset(Setting::VoutInvalid) ? w.Vout_NOT : w.Vout_HS;
      c.text = n > 5000 ? "5000" : std::to_string(n);
      confirm(c);
      break;
    }
    case configOffset(Setting::RichnessInvalid):
    case configOffset(Setting::RichnessProbeFault): {
      Control& c = offset == configOffset(Setting::RichnessInvalid) ? w.Rich_NOT : w.Rich_HS;
      c.text = n > 1750 ? "1.750" : FormatPlainNumber(n / 1000.0);
      confirm(c);
      break;
    }
    case configOffset(Setting::RpmThreshold): {
      const ChannelDefinition& ch = channels_.slot(kRpmChannel);
      w.RPM_threshold.text = std::to_string(scaleChannel(static_cast<std::uint16_t>(std::min<std::uint32_t>(n, 65535)),
                                                         ch.A, ch.B, ch.C, ch.D, 0, ch.Max));
      confirm(w.RPM_threshold);
      break;
    }
    case configOffset(Setting::HeaterTimeout):
      w.Heater_Timeout.text = std::to_string(n);
      confirm(w.Heater_Timeout);
      break;
    case configOffset(Setting::HeaterFlags):
      w.Check_Heater.checked = (n & 1) != 0;
      w.Check_WarmInit.checked = (n & 2) != 0;
      confirm(w.Check_Heater);
      confirm(w.Check_WarmInit);
      break;
    default:
      if (!decodeChannelValue(offset, n)) return;
      break;
  }
  verify(offset, n);
  notify();
}

// The received CAN channels (identifier and byte positions) and, on the
// display, the channel records: into the slot and its grid cell, green.
bool Setup::decodeChannelValue(std::uint8_t offset, std::uint32_t n) {
  CanGridModel& grid = window.GrilleCan;
  const auto show = [&](int row, int column, std::string text) {
    if (row >= static_cast<int>(grid.rows.size())) return;
    grid.cell(row, column) = {std::move(text), kConfirmedColour};
  };
  const bool firstGeneration = host_.deviceCode() == "OXL";
  for (int slot = 1; slot <= kModuleCanChannels; ++slot) {
    ChannelDefinition& ch = channels_.slot(slot);
    if (offset == channelIdOffset(slot)) {
      ch.ID = FormatCanId(n, firstGeneration);
      show(slot, 2, ch.ID);
      host_.channelChanged(slot);
      return true;
    }
    if (offset == channelMsbOffset(slot) || offset == channelLsbOffset(slot)) {
      const bool msb = offset == channelMsbOffset(slot);
      const auto position = static_cast<std::uint8_t>(std::min<std::uint32_t>(n, 8));
      (msb ? ch.MSB : ch.LSB) = position;
      show(slot, msb ? 3 : 4, std::to_string(position));
      host_.channelChanged(slot);
      return true;
    }
  }
  if (host_.deviceCode() != "PNU") return false;
  // The records hold signed words.
  const double v = n > 32767 && n <= 65535 ? static_cast<double>(n) - 65536 : static_cast<double>(n);
  const int rows = std::min(host_.channelCount(), kDisplayChannelRecords);
  for (int slot = 1; slot <= rows; ++slot) {
    ChannelDefinition& ch = channels_.slot(slot);
    const double unit = std::pow(10.0, ch.Dec);
    const auto at = [&](DisplayRecordField field) { return offset == displayRecordOffset(slot, field); };
    namespace r = display_record;
    int column = 0;
    std::string text;
    if (at(r::kA) || at(r::kB) || at(r::kC) || at(r::kD)) {
      column = at(r::kA) ? 6 : at(r::kB) ? 7 : at(r::kC) ? 8 : 9;
      (column == 6 ? ch.A : column == 7 ? ch.B : column == 8 ? ch.C : ch.D) = v;
      text = FormatPlainNumber(v);
    } else if (at(r::kDec)) {
      ch.Dec = v > 3 || v < 0 ? 0 : static_cast<std::uint8_t>(v);  // more decimals than shown: none
      column = 10;
      text = std::to_string(ch.Dec);
    } else if (at(r::kMin) || at(r::kMax)) {
      column = at(r::kMin) ? 11 : 12;
      (column == 11 ? ch.Min : ch.Max) = v / unit;
      text = FormatPlainNumber(v / unit);
    } else if (at(r::kMap)) {
      ch.Map = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
      column = 5;
      text = std::to_string(ch.Map);
    } else {
      continue;
    }
    show(slot, column, std::move(text));
    host_.channelChanged(slot);
    return true;
  }
  return false;
}

void Setup::decodeModeByte(std::uint32_t n) {
  SetupWindowModel& w = window;
  const ModeByte mode = DecodeModeByte(static_cast<std::uint8_t>(n));
  if (mode.word4 >= 0 && mode.word4 < static_cast<int>(w.TypeDataMSG1.items.size())) {
    w.TypeDataMSG1.choose(mode.word4);
    confirm(w.TypeDataMSG1);
  } else {
    // A content this module type does not offer: nothing chosen, red, so
    // that the user picks one before writing.
    w.TypeDataMSG1.index = -1;
    w.TypeDataMSG1.text = "???";
    w.TypeDataMSG1.state = EditState::Modified;
  }
  if (mode.skynam)
    applySkynamConfiguration(false);
  else
    applyUserConfiguration(false);
  applyUserLevel();
  w.Format_Intel.checked = mode.intel;
  for (std::size_t i = 0; i < 3; ++i) {
    w.SelMsg[i].checked = mode.messages[i];
    confirm(w.SelMsg[i]);
  }
  for (Control* c : {&w.Option_Skynam, &w.Option_User, &w.Format_Intel}) confirm(*c);
}

std::vector<std::uint8_t> Setup::EncodeField(Setting setting) const {
  const SetupWindowModel& w = window;
  const ConfigEntry& entry = configEntry(setting);
  const bool firstGeneration = host_.deviceCode() == "OXL";
  const auto typed = [&](const Control& c) { return bytes(ScaledEntry(c.text, entry.rule), entry.bytes); };
  switch (setting) {
    case Setting::CanBitTiming: {
      // The Skynam configuration always runs at 1 Mbit/s.
      const int speed = w.Option_Skynam.checked ? 0 : w.BaudRateList.index;
      if (speed < 0 || speed >= static_cast<int>(kCanSpeeds.size())) return {};
      const auto& timing = kCanSpeeds[static_cast<std::size_t>(speed)].timing;
      return {timing.begin(), timing.end()};
    }
    case Setting::ModeByte: {
      if (w.TypeDataMSG1.index < 0) return {};
      ModeByte mode{w.TypeDataMSG1.index, w.Option_Skynam.checked, w.Format_Intel.checked,
                    {w.SelMsg[0].checked, w.SelMsg[1].checked, w.SelMsg[2].checked}};
      return {EncodeModeByte(mode)};
    }
    case Setting::TransmitId1: return bytes(EncodeCanId(w.ID[0].text, firstGeneration), 4);
    case Setting::TransmitId2: return bytes(EncodeCanId(w.ID[1].text, firstGeneration), 4);
    case Setting::DisplayId: return bytes(EncodeCanId(w.ID[2].text, firstGeneration), 4);
    case Setting::SkynamId: return bytes(EncodeCanId(w.ID[3].text, false), 4);
    case Setting::EcuId: return bytes(EncodeCanId(w.ID[4].text, firstGeneration), 4);
    case Setting::StoichiometricRatio: return typed(w.W_Stoichio);
    case Setting::FilterCoefficient:
      if (w.Combo_Filtre.index < 0) return {};
      return {kFilterBytes.at(static_cast<std::size_t>(w.Combo_Filtre.index))};
    case Setting::EcuProtocol:
      if (w.ListeProtocoles.index < 0) return {};
      return {static_cast<std::uint8_t>(w.ListeProtocoles.index)};
    case Setting::VoutInvalid: return typed(w.Vout_NOT);
    case Setting::VoutProbeFault: return typed(w.Vout_HS);
    case Setting::RichnessInvalid: return typed(w.Rich_NOT);
    case Setting::RichnessProbeFault: return typed(w.Rich_HS);
    case Setting::RpmThreshold: {
      const ChannelDefinition& ch = channels_.slot(kRpmChannel);
      return bytes(unscaleChannel(ReadLeadingNumber(w.RPM_threshold.text), ch.A, ch.B, ch.C, ch.D), 2);
    }
    case Setting::HeaterTimeout:
      return {static_cast<std::uint8_t>(std::min<std::uint16_t>(ScaledEntry(w.Heater_Timeout.text, entry.rule), 255))};
    case Setting::HeaterFlags:
      return {static_cast<std::uint8_t>((w.Check_Heater.checked ? 1 : 0) | (w.Check_WarmInit.checked ? 2 : 0))};
    default:
      return {};
  }
}

}  // namespace oxalis
