#include "monitor/RefreshTick.h"

#include <array>

#include "app/Core.h"
#include "monitor/NumberFormat.h"

namespace oxalis {

namespace {

constexpr int kSilentTicksBeforeTimeout = 4;

constexpr std::array<const char*, 12> kDisplayQuantities{
    "Richness", "Lambda", "O2", "A/F", "mV", "Vin", "Channel 1", "Channel 2", "Channel 3", "Channel 4", "Ubat",
    "Used Time"};

// Link supervision: after five ticks without a byte the link is declared
// lost, and every further silent tick says so again and asks for a module.
void superviseLink(Core& core) {
  AppState& state = core.state;
  if (state.silentTicks < kSilentTicksBeforeTimeout) {
    ++state.silentTicks;
    return;
  }
  MainWindowModel& window = core.mainWindow;
  window.panel(3) = "No module find (timeout)";
  state.linkUp = false;
  state.rxIdle = true;
  state.dataFlowing = false;
  core.queue.dropWaiting();
  window.panel(2) = "Link OFF";
  window.oxalisOffLine.enabled = true;
  window.panoraOffLine.enabled = true;
  window.changed.notify();
  // An unplugged adapter closed the port; when it comes back on the same
  // port the module is found again without the user starting a search.
  if (!core.platform.port.isOpen() && state.currentPort >= 1 && state.currentPort <= PortSearch::kLastPort)
    core.openPort(state.currentPort);
  core.commands.IdentifyRequest();
}

std::string fixed(std::int32_t& value, int decimals, bool isSigned = false) {
  return formatFixed(value, isSigned, decimals);
}

}  // namespace

bool cellText(Core& core, int cell, std::string& text) {
  LiveValues& v = core.live;
  const std::string& type = core.state.deviceCode;
  const bool pnu = type == "PNU";
  const bool qtx = type == "QTX";
  const bool rmw = type == "RMW";
  const auto channel = [&](int k) { return fixed(v.channel[static_cast<std::size_t>(k)], core.channels.slot(k + 1).Dec); };

  switch (cell) {
    case 0: if (rmw) return false; text = fixed(v.vOutMv, qtx ? 1 : 0); return true;
    case 1: if (rmw) return false; text = fixed(v.richness, qtx ? 1 : 3); return true;
    case 2: if (rmw) return false; text = fixed(v.lambda, qtx ? 1 : 3); return true;
    case 3: if (rmw) return false; text = fixed(v.o2, qtx ? 0 : 2, true); return true;
    case 4: if (rmw) return false; text = fixed(v.airFuel, qtx ? 0 : 2); return true;
    case 5: text = pnu ? fixed(v.vinMv, 0) : fixed(v.probeTempC, 0); return true;
    case 6: text = pnu ? fixed(v.vluxMv, 0) : fixed(v.internalTempC, 0); return true;
    case 7: if (rmw) return false; text = fixed(v.batteryVolt, 1); return true;
    case 8: text = pnu ? channel(4) : fixed(v.heaterVolt, 1); return true;
    case 9:
      if (pnu) text = fixed(v.klux, 1);
      else text = v.heaterPwm < 2 ? "Timeout" : fixed(v.heaterPwm, 0);
      return true;
    case 10:
      if (!pnu) text = fixed(v.vgndMv, 0);
      else text = v.channelSelect >= 0 && v.channelSelect < 12 ? kDisplayQuantities[static_cast<std::size_t>(v.channelSelect)] : "";
      return true;
    case 11:
      if (!pnu) text = fixed(v.vsMv, 0);
      else text = v.fuelType == 0 ? "Gasoline" : v.fuelType == 1 ? "Diesel" : "";
      return true;
    case 12:
      if (!pnu) text = fixed(v.slewRate, 0);
      else text = v.brightnessPct == 0 ? "Auto" : fixed(v.brightnessPct, 0);
      return true;
    case 13: case 14: case 15: case 16: text = channel(cell - 13); return true;
    case 17: if (!pnu) return false; text = core.livePanel.cells[8].text; return true;
    default: return false;
  }
}

void refreshTick(Core& core) {
  AppState& state = core.state;
  LivePanelModel& panel = core.livePanel;
  FactoryModel& factory = core.factory;

  superviseLink(core);

  if (core.platform.port.isOpen() && state.linkUp && core.queue.QueueIsEmpty()) {
    if (!core.queue.SendXon()) return;
  }

  if (factory.visible) {
    factory.DEBUG_RX = state.rx.previousRxLine;
    factory.DEBUG_TX = state.tx.lastSentRecord;
  }

  std::array<bool, LivePanelModel::kCells> changed{};
  if (panel.forceRepaint) {
    panel.forceRepaint = false;
    changed.fill(true);
  }

  // Cell 17 copies cell 8, so 8 comes first; otherwise in cell order.
  static constexpr std::array<int, LivePanelModel::kCells> kOrder{0, 1, 2, 3, 4, 7, 5, 6, 8, 17, 9, 10, 11, 12, 13, 14, 15, 16};
  for (int cell : kOrder) {
    std::string text;
    if (!cellText(core, cell, text)) continue;
    auto& model = panel.cells[static_cast<std::size_t>(cell)];
    if (text != model.text) {
      model.text = std::move(text);
      changed[static_cast<std::size_t>(cell)] = true;
    }
  }

  const std::uint32_t colour = !state.dataFlowing ? kOfflineGrey : state.freshSample ? kFreshGreen : kStaleYellow;
  // Bytes arrive but no measurement: ask for the stream again, once per
  // tick (not once per cell, which would queue 18 identical requests).
  if (state.dataFlowing && !state.freshSample && state.streamRunning) core.commands.StartFrames();
  for (std::size_t i = 0; i < panel.cells.size(); ++i) {
    auto& model = panel.cells[i];
    if (model.textColor != colour) {
      model.textColor = colour;
      changed[i] = true;
    }
    if (changed[i]) ++model.paintCount;
  }

  const LiveValues& v = core.live;
  if (factory.visible) {
    factory.W_DIAG = std::to_string(v.diagFlags);
    factory.CNTErrCAN = std::to_string(v.canErrorCount);
  }

  for (int i = 0; i < LivePanelModel::kLamps; ++i) {
    auto& lamp = panel.lamps[static_cast<std::size_t>(i)];
    lamp.red = i < 8 ? (v.diagFlags >> i & 1) != 0 : v.canErrorFlags != 0;
    lamp.greenLabel = state.diagLabelsCanOk[static_cast<std::size_t>(i)];
    lamp.redLabel = state.diagLabelsCanErr[static_cast<std::size_t>(i)];
  }

  if (factory.visible) {
    for (std::size_t bit = 0; bit < factory.DiagCan.size(); ++bit) factory.DiagCan[bit] = (v.canErrorFlags >> bit & 1) != 0;
    // A lost frame shows for one tick.
    factory.PerteDeTrame = false;
    factory.changed.notify();
  }

  state.freshSample = false;
  panel.changed.notify();
}

void keepAliveTick(Core& core) {
  AppState& state = core.state;
  if (state.keepAliveDelay > 0) {
    --state.keepAliveDelay;
    return;
  }
  core.commands.TimeRequest();
}

}  // namespace oxalis
