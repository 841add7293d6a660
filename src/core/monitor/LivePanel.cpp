#include "monitor/LivePanel.h"

#include <array>
#include <initializer_list>

#include "config/ChannelLine.h"
#include "config/MemoryMap.h"
#include "link/Requests.h"
#include "monitor/Monitor.h"
#include "util/TextEncoding.h"

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

// Which controls a module type has, as bit masks (bit i: control i).
constexpr std::uint32_t bits(std::initializer_list<int> indexes) {
  std::uint32_t mask = 0;
  for (int i : indexes) mask |= 1u << i;
  return mask;
}

struct Layout {
  std::array<const char*, 13> labels;  // labels 0-12; nullptr: the A/F label or the analogue input's name
  const char* searchCaption;
  const char* identifieCaption;
  const char* goodLabels;
  const char* badLabels;
  std::array<const char*, 9> redTooltips;
  std::array<const char*, 9> meanings;  // what green and red say, for the lamp's tooltip
  int channelCount;
  std::uint32_t cells;         // value cells 0-17 the module fills
  std::uint32_t lamps;         // lamps 0-8 that carry a meaning
  std::uint32_t channelTicks;  // `ShowCanal` 0-4: user channels the module sends
  std::uint32_t cursorBoxes;   // `ValCurseur` 0-9
  std::uint32_t traceChoices;  // the five built-in quantities of the trace
  std::array<const char*, 5> traceChoiceNames;
  PanelLayout kind;
};

constexpr const char* kCanTip = "CAN error. Check cables or CAN configuration";
constexpr const char* kCanMeaning = "Green: no CAN error. Red: CAN error (cables or CAN configuration)";
constexpr std::array<const char*, 5> kLambdaChoices{"Vout", "Richness", "Lambda", "O2", "A/F"};

const Layout kOxalis{
    {"Vout (mV)", "Richness", "Lambda", "O2 (%)", nullptr, "Probe T (\u00B0C)", "Int T (\u00B0C)", "V Bat (V)",
     "V Heat (V)", "PWM (%)", "Vgnd (mV)", "Vs (mV)", "Slew Rate"},
    "Search Oxalis",
    "Oxalis info",
    "Warm Up,Open Circuit,Short Circuit,Probe Temp.,Power GND,Vgnd,VBat,Vs,CAN ok",
    "Warm Up,Open Circuit,Short Circuit,Probe Temp.,Power GND,Vgnd,VBat,Vs,CAN Err",
    {"Probe is warming", "Probe unconnected or probe heater out of order", "Short circuit detected on heater wire",
     "Probe temperature <700\u00B0C. standard value is 780\u00B0C",
     "Power GND wire could be unconnect and put to high level on Pgnd", "Virtual ground must be closed to 2500mV",
     "Vbat must be higher than 6.5V", "Vs have to be very closed to 450mV", kCanTip},
    {"Green: probe warm. Red: probe warming up", "Green: probe and heater connected. Red: open circuit",
     "Green: heater wiring fine. Red: short circuit on the heater wire",
     "Green: probe temperature fine. Red: probe below 700 \u00B0C", "Green: power ground fine. Red: power ground fault",
     "Green: virtual ground near 2500 mV. Red: virtual ground out of range",
     "Green: battery above 6.5 V. Red: battery voltage too low", "Green: Vs near 450 mV. Red: Vs out of range",
     kCanMeaning},
    4,
    bits({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
    bits({0, 1, 2, 3, 4, 5, 6, 7, 8}),
    bits({0, 1, 2, 3}),
    bits({0, 1, 2, 3, 4, 5, 6, 7, 8}),
    bits({0, 1, 2, 3, 4}),
    kLambdaChoices,
    PanelLayout::Oxalis};

// The first-generation controller sends no channel words.
constexpr Layout withoutChannels(Layout layout) {
  layout.cells &= ~bits({13, 14, 15, 16, 17});
  layout.channelTicks = 0;
  layout.cursorBoxes &= ~bits({5, 6, 7, 8, 9});
  return layout;
}
const Layout kOxalisFirst = withoutChannels(kOxalis);

// Cell 8 would repeat cell 17 (both show channel 5): the display shows 17.
const Layout kPanora{
    {"V Richness (mV)", "Richness", "Lambda", "O2 (%)", nullptr, "Vin (mV)", "Vlux (mV)", "V Bat (V)", nullptr,
     "Klux (%)", "Channel", "Fuel Type", "Brightness (%)"},
    "Search Display",
    "Display info",
    "Right Push,Left Push,Analog Mode,CAN Mode,No Msg,,,,CAN ok",
    "Right Push,Left Push,Analog Mode,CAN Mode,Showing Msg,,,,CAN Err",
    {"Right switch pushed", "Left switch pushed", "Richness values come from analog input",
     "Richness values come from CAN bus", "", "", "", "", kCanTip},
    {"Green: right switch released. Red: right switch pushed", "Green: left switch released. Red: left switch pushed",
     "Red: richness values come from the analog input", "Red: richness values come from the CAN bus",
     "Green: no message. Red: the display shows a message", "", "", "", kCanMeaning},
    5,
    bits({0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17}),
    bits({0, 1, 2, 3, 4, 8}),
    bits({0, 1, 2, 3, 4}),
    bits({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
    bits({0, 1, 2, 3, 4}),
    kLambdaChoices,
    PanelLayout::Panora};

// The fuel tank drain tool fills cells 0-7, 10 and 11 with its own
// quantities; its channel words repeat cells 0-3, which the trace draws
// under the tool's own names.
const Layout kQtx{
    {"I pump", "I filtered", "Delta", "CNT", "I2T", "I overload", "Pos SW", "V Bat (V)", nullptr, "-", "Fused", "Out",
     "-"},
    "Search Device",
    "Device info",
    "Manual,n.u.,Inrush delay,Bat Low,Empty,Blink Slow,Blink fast,,",
    "Manual,n.u.,Inrush delay,Bat Low,Empty,Blink Slow,Blink fast,,",
    {"", "", "", "", "", "", "", "", kCanTip},
    {"Red: manual mode", "Not used", "Red: inrush delay running", "Red: battery low", "Red: tank empty",
     "Red: slow blinking", "Red: fast blinking", "", ""},
    5,
    bits({0, 1, 2, 3, 4, 5, 6, 7, 10, 11}),
    bits({0, 1, 2, 3, 4, 5, 6}),
    0,
    bits({0, 1, 2, 3, 4}),
    bits({0, 1, 2, 3, 4}),
    {"I pump", "I filtered", "Delta", "CNT", "I2T"},
    PanelLayout::Qtx};

// The steering-wheel module sends four channel words and a diagnostic byte
// whose bits have no names of their own.
const Layout kSteeringWheel{
    {"-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-"},
    "Search Module",
    "Module info",
    "Bit 0,Bit 1,Bit 2,Bit 3,Bit 4,Bit 5,Bit 6,Bit 7,",
    "Bit 0,Bit 1,Bit 2,Bit 3,Bit 4,Bit 5,Bit 6,Bit 7,",
    {"", "", "", "", "", "", "", "", ""},
    {"Red: diagnostic bit 0 set", "Red: diagnostic bit 1 set", "Red: diagnostic bit 2 set",
     "Red: diagnostic bit 3 set", "Red: diagnostic bit 4 set", "Red: diagnostic bit 5 set",
     "Red: diagnostic bit 6 set", "Red: diagnostic bit 7 set", ""},
    4,
    bits({13, 14, 15, 16}),
    bits({0, 1, 2, 3, 4, 5, 6, 7}),
    bits({0, 1, 2, 3}),
    bits({5, 6, 7, 8}),
    0,
    kLambdaChoices,
    PanelLayout::SteeringWheel};

const Layout* layoutFor(const std::string& code) {
  if (code == "OX2") return &kOxalis;
  if (code == "OXL") return &kOxalisFirst;
  if (code == "PNU") return &kPanora;
  if (code == "QTX") return &kQtx;
  if (code == "RMW") return &kSteeringWheel;
  return nullptr;
}

}  // namespace

bool HasPanelLayout(const std::string& deviceCode) { return layoutFor(deviceCode) != nullptr; }

namespace {

bool showsAirFuel(const std::string& code) { return code != "QTX" && code != "RMW"; }

// Label 12 + k names user channel k in its colour.
void labelChannel(LivePanelModel& panel, int k, const ChannelDefinition& slot) {
  auto& cell = panel.cells[static_cast<std::size_t>(12 + k)];
  cell.label = DegreeSignForScreen(slot.Name);
  cell.labelColor = slot.Color;
  cell.labelTooltip = DegreeSignForScreen(ChannelTooltipText(slot));
}

// Label 8 of the five-channel types names the analogue input (slot 5).
void labelAnalogueInput(LivePanelModel& panel, const ChannelDefinition& slot5) {
  panel.cells[8].label = DegreeSignForScreen(slot5.Name + " (" + slot5.Unit + ")");
  panel.cells[8].labelTooltip = DegreeSignForScreen(ChannelTooltipText(slot5));
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
  const auto has = [](std::uint32_t mask, std::size_t i) { return (mask >> i & 1u) != 0; };

  for (std::size_t i = 0; i < layout->labels.size(); ++i)
    if (layout->labels[i]) panel.cells[i].label = layout->labels[i];
  panel.cells[0].labelTooltip = layout == &kPanora ? "Input voltage. Could be from analog input or CANbus."
                                : layout->kind == PanelLayout::Oxalis ? "Output voltage on analogique out"
                                                                      : "";
  for (std::size_t i = 0; i < panel.cells.size(); ++i) panel.cells[i].visible = has(layout->cells, i);
  for (std::size_t k = 0; k < panel.showCanalVisible.size(); ++k)
    panel.showCanalVisible[k] = has(layout->channelTicks, k);
  for (std::size_t k = 0; k < panel.valCurseurVisible.size(); ++k)
    panel.valCurseurVisible[k] = has(layout->cursorBoxes, k);
  for (std::size_t k = 0; k < panel.traceChoiceVisible.size(); ++k) {
    panel.traceChoiceVisible[k] = has(layout->traceChoices, k);
    panel.traceChoiceNames[k] = layout->traceChoiceNames[k];
  }
  panel.panoraListsVisible = layout == &kPanora;

  panel.SearchPort = layout->searchCaption;
  panel.Identifie = layout->identifieCaption;
  monitor.diagLabelsCanOk = splitLabels(layout->goodLabels);
  monitor.diagLabelsCanErr = splitLabels(layout->badLabels);
  for (std::size_t i = 0; i < panel.lamps.size(); ++i) {
    DiagLampModel& lamp = panel.lamps[i];
    lamp.visible = has(layout->lamps, i);
    lamp.greenLabel = monitor.diagLabelsCanOk[i];
    lamp.redLabel = monitor.diagLabelsCanErr[i];
    lamp.redTooltip = layout->redTooltips[i];
    lamp.greenTooltip = layout->meanings[i];
    if (lamp.redTooltip.empty()) lamp.redTooltip = lamp.greenTooltip;
  }
  monitor.channelCount = static_cast<std::uint8_t>(layout->channelCount);

  // Label 8 of the five-channel types names the analogue input.
  if (layout->channelCount == 5) labelAnalogueInput(panel, monitor.channels.slot(5));
  setAfLabel(monitor);
  panel.forceRepaint = true;
  panel.changed.notify();
  return layout->kind;
}

void setAfLabel(Monitor& monitor) {
  if (!showsAirFuel(monitor.module.deviceCode)) return;
  monitor.livePanel.cells[4].label = "A/F (St:" + FormatPlainNumber(monitor.stoichRatio) + ")";
  monitor.livePanel.changed.notify();
}

void setChannelLabels(Monitor& monitor) {
  LivePanelModel& panel = monitor.livePanel;
  for (int k = 1; k <= 5; ++k) labelChannel(panel, k, monitor.channels.slot(k));
  if (monitor.channelCount == 5) labelAnalogueInput(panel, monitor.channels.slot(5));
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
