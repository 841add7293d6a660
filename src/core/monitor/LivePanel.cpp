#include "monitor/LivePanel.h"

#include <array>

#include "app/Core.h"
#include "monitor/ChannelLine.h"

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
  bool sendTprop;
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
    true};

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
    false};

const Layout kQtx{
    {"I pump", "I filtered", "Delta", "CNT", "I2T", "I overload", "Pos SW", nullptr, nullptr, "-", "Fused", "Out", "-"},
    "Search Device",
    "Device info",
    "Manual,n.u.,Inrush delay,Bat Low,Empty,Blink Slow,Blink fast,,",
    "Manual,n.u.,Inrush delay,Bat Low,Empty,Blink Slow,Blink fast,,",
    {"", "", "", "", "", "", "", "", kCanTip},
    5,
    true,
    false};

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

void initialiseLivePanel(Core& core) {
  auto& cells = core.livePanel.cells;
  cells[0].label = "Vout (mV)";
  cells[0].labelTooltip = "Output voltage on analogique out";
  cells[1].label = "Richness";
  cells[2].label = "Lambda";
  cells[3].label = "O2 (%)";
  cells[7].label = "V Bat (V)";
  setAfLabel(core);
}

void layoutPanelForModule(Core& core) {
  AppState& state = core.state;
  const Layout* layout = layoutFor(state.deviceCode);
  if (!layout) return;
  LivePanelModel& panel = core.livePanel;
  MainWindowModel& window = core.mainWindow;

  window.oxalisOffLine.checked = layout == &kOxalis;
  window.panoraOffLine.checked = layout == &kPanora;
  window.qtxOffLine.checked = layout == &kQtx;
  for (std::size_t i = 0; i < layout->labels.size(); ++i)
    if (layout->labels[i]) panel.cells[i].label = layout->labels[i];
  if (layout == &kPanora) panel.cells[0].labelTooltip = "Input voltage. Could be from analog input or CANbus.";

  panel.cells[17].visible = layout->fiveChannels;
  panel.showCanalVisible[4] = layout->fiveChannels;
  panel.valCurseurVisible[9] = layout->fiveChannels;
  panel.panoraListsVisible = layout == &kPanora;

  window.searchPortCaption = layout->searchCaption;
  window.identifieCaption = layout->identifieCaption;
  state.diagLabelsCanOk = splitLabels(layout->goodLabels);
  state.diagLabelsCanErr = splitLabels(layout->badLabels);
  for (std::size_t i = 0; i < panel.lamps.size(); ++i) {
    panel.lamps[i].greenLabel = state.diagLabelsCanOk[i];
    panel.lamps[i].redLabel = state.diagLabelsCanErr[i];
    panel.lamps[i].redTooltip = layout->redTooltips[i];
  }
  state.channelCount = static_cast<std::uint8_t>(layout->channelCount);
  core.factory.sendTpropEnabled = layout->sendTprop;

  // Labels 8 and 17 of the five-channel types name the analogue input.
  if (layout != &kOxalis) labelAnalogueInput(panel, core.channels.slot(5));
  panel.forceRepaint = true;
  panel.changed.notify();
  window.changed.notify();
}

void setAfLabel(Core& core) {
  core.livePanel.cells[4].label = "A/F (St:" + FormatPlainNumber(core.state.stoichRatio) + " )";
  core.livePanel.changed.notify();
}

void setChannelLabels(Core& core) {
  LivePanelModel& panel = core.livePanel;
  for (int k = 1; k <= 5; ++k) labelChannel(panel, k, core.channels.slot(k));
  if (core.state.deviceCode == "PNU") labelAnalogueInput(panel, core.channels.slot(5));
  panel.changed.notify();
}

void ParseChannelLineIntoSlot(Core& core, int slot, std::string_view line) {
  ChannelDefinition& definition = core.channels.slot(slot);
  ParseChannelLine(definition, line);
  if (slot < 1 || slot > 5) return;
  LivePanelModel& panel = core.livePanel;
  labelChannel(panel, slot, definition);
  panel.showCanal[static_cast<std::size_t>(slot - 1)] = definition.Show;
  if (slot == 5) labelAnalogueInput(panel, definition);
  panel.changed.notify();
}

void Boutton_Frame_Click(Core& core) {
  AppState& state = core.state;
  if (state.streamRunning) {
    core.livePanel.bouttonFrameCaption = "Run";
    core.commands.StopFrames();
    state.streamRunning = false;
  } else {
    core.livePanel.bouttonFrameCaption = "Stop";
    core.commands.StartFrames();
    state.streamRunning = true;
  }
  core.livePanel.changed.notify();
}

void Combo_Channel_Click(Core& core, int index) {
  if (index < 0 || index > 11) return;
  core.livePanel.comboChannel = index;
  core.commands.WriteDisplaySetting(0x0C, static_cast<std::uint8_t>(index));
}

void Combo_Luminosite_Click(Core& core, int index) {
  if (index < 0 || index > 4) return;
  core.livePanel.comboLuminosite = index;
  core.commands.WriteDisplaySetting(0x0B, static_cast<std::uint8_t>(index + 1));
}

void Combo_TypeCarburant_Click(Core& core, int index) {
  if (index < 0 || index > 1) return;
  core.livePanel.comboTypeCarburant = index;
  core.commands.WriteDisplaySetting(0x0D, static_cast<std::uint8_t>(index));
}

void livePanelResized(Core& core) { core.livePanel.forceRepaint = true; }

}  // namespace oxalis
