#include "monitor/LivePanel.h"

#include <array>

#include "config/ChannelLine.h"
#include "config/MemoryMap.h"
#include "link/Requests.h"
#include "monitor/Monitor.h"

namespace oxalis {

namespace {

using Labels = std::array<std::string, 9>;

// The quoted label list split at every comma into nine entries.
Labels splitLabels(std::string_view text) {
  Labels out{};
  std::size_t i = 0;
  for (char c : text) {
    if (c == ',') {
      if (++i == out.size()) break;
    } else {
      out[i].push_back(c);
    }
  }
  return out;
}

struct Layout {
  std::array<const char*, 13> labels;  // nullptr: not set
  const char* searchCaption;
  const char* identifieCaption;
  const char* goodLabels;
  const char* badLabels;
  std::array<const char*, 9> redTooltips;
  int channelCount;
  bool fiveChannels;  // cell 17, ShowCanal 4 and ValCurseur 9 shown
  PanelLayout kind;
};

constexpr const char* kCanTip = "CAN error. Check cables or CAN configuration";

const Layout kOxalis{
    {nullptr, nullptr, nullptr, nullptr, nullptr, "Probe T (ºC)", "Int T (ºC)", nullptr, "V Heat (V)", "PWM (%)",
     "Vgnd (mV)", "Vs (mV)", "Slew Rate"},
    "Search Oxalis",
    "Oxalis info",
    "Warm Up,Open Circuit,Short Circuit,Probe Temp.,Power GND,Vgnd,VBat,Vs,CAN ok",
    "Warm Up,Open Circuit,Short Circuit,Probe Temp.,Power GND,Vgnd,VBat,Vs,CAN Err",
    {"Probe is warming", "Probe unconnected or probe heater out of order", "Short circuit detected on heater wire",
     "Probe temperature <700ºC. standard value is 780ºC",
     "Power GND wire could be unconnect and put to high level on Pgnd", "Virtual ground must be closed to 2500mV",
     "Vbat must be higher than 6.5V", "Vs have to be very closed to 450mV", kCanTip},
    4,
    false,
    PanelLayout::Oxalis};

const Layout kPanora{
    {"V Richness (mV)", nullptr, nullptr, nullptr, nullptr, "Vin (mV)", "Vlux (mV)", nullptr, nullptr, "Klux (%)",
     "Channel", "Fuel Type", "Brightness (%)"},
    "Search Display",
    "Display info",
    "Right Push,Left Push,Analog Mode,CAN Mode,No Msg,,,,CAN ok",
    "Right Push,Left Push,Analog Mode,CAN Mode,Showing Msg,,,,CAN Err",
    {"Right switch pushed", "Left switch pushed", "Richness values come from analog input",
     "Richness values come from CAN bus", "", "", "", "", kCanTip},
    5,
    true,
    PanelLayout::Panora};

const Layout kQtx{
    {"I pump", "I filtered", "Delta", "CNT", "I2T", "I overload", "Pos SW", nullptr, nullptr, "-", "Fused", "Out", "-"},
    "Search Device",
    "Device info",
    "Manual,n.u.,Inrush delay,Bat Low,Empty,Blink Slow,Blink fast,,",
    "Manual,n.u.,Inrush delay,Bat Low,Empty,Blink Slow,Blink fast,,",
    {"", "", "", "", "", "", "", "", kCanTip},
    5,
    true,
    PanelLayout::Qtx};

const Layout* layoutFor(const std::string& code) {
  if (code == "OXL" || code == "OX2") return &kOxalis;
  if (code == "PNU") return &kPanora;
  if (code == "QTX") return &kQtx;
  return nullptr;
}

// Label 12 + k names user channel k in its colour.
void labelChannel(LivePanelModel& panel, int k, const ChannelDefinition& slot) {
  auto& cell = panel.cells[static_cast<std::size_t>(12 + k)];
  cell.label = slot.Name;
  cell.labelColor = slot.Color;
  cell.labelTooltip = ChannelTooltipText(slot);
}

// Label 8 of the five-channel types names the analogue input (slot 5).
void labelAnalogueInput(LivePanelModel& panel, const ChannelDefinition& slot5) {
  panel.cells[8].label = slot5.Name + " (" + slot5.Unit + ")";
  panel.cells[8].labelTooltip = ChannelTooltipText(slot5);
}

}  // namespace

void initialiseLivePanel(Monitor& monitor) {
  auto& cells = monitor.livePanel.cells;
  cells[0].label = "Vout (mV)";
  cells[0].labelTooltip = "Output voltage on analogique out";
  cells[1].label = "Richness";
  cells[2].label = "Lambda";
  cells[3].label = "O2 (%)";
  cells[7].label = "V Bat (V)";
  setAfLabel(monitor);
}

PanelLayout layoutPanelForModule(Monitor& monitor) {
  const Layout* layout = layoutFor(monitor.module.deviceCode);
  if (!layout) return PanelLayout::None;
  LivePanelModel& panel = monitor.livePanel;

  for (std::size_t i = 0; i < layout->labels.size(); ++i)
    if (layout->labels[i]) panel.cells[i].label = layout->labels[i];
  if (layout == &kPanora) panel.cells[0].labelTooltip = "Input voltage. Could be from analog input or CANbus.";

  panel.cells[17].visible = layout->fiveChannels;
  panel.showCanalVisible[4] = layout->fiveChannels;
  panel.valCurseurVisible[9] = layout->fiveChannels;
  panel.panoraListsVisible = layout == &kPanora;

  panel.SearchPort = layout->searchCaption;
  panel.Identifie = layout->identifieCaption;
  monitor.diagLabelsCanOk = splitLabels(layout->goodLabels);
  monitor.diagLabelsCanErr = splitLabels(layout->badLabels);
  for (std::size_t i = 0; i < panel.lamps.size(); ++i) {
    panel.lamps[i].greenLabel = monitor.diagLabelsCanOk[i];
    panel.lamps[i].redLabel = monitor.diagLabelsCanErr[i];
    panel.lamps[i].redTooltip = layout->redTooltips[i];
  }
  monitor.channelCount = static_cast<std::uint8_t>(layout->channelCount);

  // Labels 8 and 17 of the five-channel types name the analogue input.
  if (layout != &kOxalis) labelAnalogueInput(panel, monitor.channels.slot(5));
  panel.forceRepaint = true;
  panel.changed.notify();
  return layout->kind;
}

void setAfLabel(Monitor& monitor) {
  monitor.livePanel.cells[4].label = "A/F (St:" + FormatPlainNumber(monitor.stoichRatio) + " )";
  monitor.livePanel.changed.notify();
}

void setChannelLabels(Monitor& monitor) {
  LivePanelModel& panel = monitor.livePanel;
  for (int k = 1; k <= 5; ++k) labelChannel(panel, k, monitor.channels.slot(k));
  if (monitor.module.deviceCode == "PNU") labelAnalogueInput(panel, monitor.channels.slot(5));
  panel.changed.notify();
}

void showChannel(Monitor& monitor, int slot) {
  if (slot < 1 || slot > 5) return;
  const ChannelDefinition& definition = monitor.channels.slot(slot);
  LivePanelModel& panel = monitor.livePanel;
  labelChannel(panel, slot, definition);
  panel.showCanal[static_cast<std::size_t>(slot - 1)] = definition.Show;
  if (slot == 5) labelAnalogueInput(panel, definition);
  panel.changed.notify();
}

void ParseChannelLineIntoSlot(Monitor& monitor, int slot, std::string_view line) {
  ParseChannelLine(monitor.channels.slot(slot), line);
  showChannel(monitor, slot);
}

void Boutton_Frame_Click(Monitor& monitor, CommandSet& commands, bool& streamRunning) {
  if (streamRunning) {
    monitor.livePanel.Boutton_Frame = "Run";
    commands.stopFrames();
    streamRunning = false;
  } else {
    monitor.livePanel.Boutton_Frame = "Stop";
    commands.startFrames();
    streamRunning = true;
  }
  monitor.livePanel.changed.notify();
}

namespace {

// A byte-sized display setting: EEPROM area, the value, reload of the
// display group.
void writeDisplaySetting(CommandSet& commands, std::uint8_t offset, std::uint8_t value) {
  const char byte = static_cast<char>(value);
  // Each record waits for the one before it; a refused record ends the write.
  (void)(commands.selectEepromArea() && commands.writeParams(offset, std::string_view(&byte, 1)) &&
         commands.reload(memory_map::kReloadDisplay));
}

}  // namespace

void Combo_Channel_Click(Monitor& monitor, CommandSet& commands, int index) {
  if (index < 0 || index > 11) return;
  monitor.livePanel.comboChannel = index;
  writeDisplaySetting(commands, memory_map::kDisplayChannel, static_cast<std::uint8_t>(index));
}

void Combo_Luminosite_Click(Monitor& monitor, CommandSet& commands, int index) {
  if (index < 0 || index > 4) return;
  monitor.livePanel.comboLuminosite = index;
  writeDisplaySetting(commands, memory_map::kDisplayBrightness, static_cast<std::uint8_t>(index + 1));
}

void Combo_TypeCarburant_Click(Monitor& monitor, CommandSet& commands, int index) {
  if (index < 0 || index > 1) return;
  monitor.livePanel.comboTypeCarburant = index;
  writeDisplaySetting(commands, memory_map::kDisplayFuelType, static_cast<std::uint8_t>(index));
}

void livePanelResized(Monitor& monitor) { monitor.livePanel.forceRepaint = true; }

}  // namespace oxalis
