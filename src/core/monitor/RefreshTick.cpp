#include "monitor/RefreshTick.h"

#include <array>
#include <utility>

#include "monitor/Monitor.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {

constexpr std::array<const char*, 12> kDisplayQuantities{
    "Richness", "Lambda", "O2", "A/F", "mV", "Vin", "Channel 1", "Channel 2", "Channel 3", "Channel 4", "Ubat",
    "Used Time"};

std::string fixed(std::int32_t& value, int decimals, bool isSigned = false) {
  return formatFixed(value, isSigned, decimals);
}

// A user channel carries its own decimals and is not held to a 16-bit word:
// its text shows the whole value, and the value is left as it is.
std::string channelText(std::int32_t value, int decimals) { return formatFixedWide(value, decimals); }

}  // namespace

bool cellText(Monitor& monitor, int cell, std::string& text) {
  LiveValues& v = monitor.live;
  const std::string& type = monitor.module.deviceCode;
  const bool pnu = type == "PNU";
  const bool qtx = type == "QTX";
  const bool rmw = type == "RMW";
  const auto channel = [&](int k) { return channelText(v.channel[static_cast<std::size_t>(k)], monitor.channels.slot(k + 1).Dec); };

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
    case 17: if (!pnu) return false; text = monitor.livePanel.cells[8].text; return true;
    default: return false;
  }
}

namespace {

// Whether a data file keeps the value of cell i for the module type: the
// five main quantities, probe temperature, Vs and the user channels.
bool cellRecorded(const std::string& type, int cell) {
  if (cell <= 4 || (cell >= 13 && cell <= 16)) return true;
  if (type == "PNU") return cell == 8 || cell == 17;  // channel 5, the analogue input
  return cell == 5 || cell == 11;
}

}  // namespace

void refreshReplayPanel(Monitor& monitor) {
  LivePanelModel& panel = monitor.livePanel;
  const bool force = std::exchange(panel.forceRepaint, false);
  for (int cell = 0; cell < LivePanelModel::kCells; ++cell) {
    auto& model = panel.cells[static_cast<std::size_t>(cell)];
    std::string text = model.text;
    // Cell 17 copies cell 8, which comes first.
    if (cellText(monitor, cell, text) && !cellRecorded(monitor.module.deviceCode, cell)) text.clear();
    if (force || text != model.text || model.textColor != kReplayBlue) {
      model.text = std::move(text);
      model.textColor = kReplayBlue;
      ++model.paintCount;
    }
  }
  const LiveValues& v = monitor.live;
  for (int i = 0; i < LivePanelModel::kLamps; ++i) {
    auto& lamp = panel.lamps[static_cast<std::size_t>(i)];
    lamp.red = i < 8 && (v.diagFlags >> i & 1) != 0;
    lamp.known = i < 8;
    lamp.greenLabel = monitor.diagLabelsCanOk[static_cast<std::size_t>(i)];
    lamp.redLabel = monitor.diagLabelsCanErr[static_cast<std::size_t>(i)];
  }
  panel.changed.notify();
}

void refreshPanel(Monitor& monitor, bool dataFlowing, bool freshSample) {
  LivePanelModel& panel = monitor.livePanel;
  std::array<bool, LivePanelModel::kCells> changed{};
  if (panel.forceRepaint) {
    panel.forceRepaint = false;
    changed.fill(true);
  }

  // Cell 17 copies cell 8, so 8 comes first; otherwise in cell order.
  static constexpr std::array<int, LivePanelModel::kCells> kOrder{0, 1, 2, 3, 4, 7, 5, 6, 8, 17, 9, 10, 11, 12, 13, 14, 15, 16};
  for (int cell : kOrder) {
    std::string text;
    if (!cellText(monitor, cell, text)) continue;
    auto& model = panel.cells[static_cast<std::size_t>(cell)];
    if (text != model.text) {
      model.text = std::move(text);
      changed[static_cast<std::size_t>(cell)] = true;
    }
  }

  const std::uint32_t colour = !dataFlowing ? kOfflineGrey : freshSample ? kFreshGreen : kStaleYellow;
  for (std::size_t i = 0; i < panel.cells.size(); ++i) {
    auto& model = panel.cells[i];
    if (model.textColor != colour) {
      model.textColor = colour;
      changed[i] = true;
    }
    if (changed[i]) ++model.paintCount;
  }

  const LiveValues& v = monitor.live;
  for (int i = 0; i < LivePanelModel::kLamps; ++i) {
    auto& lamp = panel.lamps[static_cast<std::size_t>(i)];
    lamp.red = i < 8 ? (v.diagFlags >> i & 1) != 0 : v.canErrorFlags != 0;
    lamp.known = dataFlowing;
    lamp.greenLabel = monitor.diagLabelsCanOk[static_cast<std::size_t>(i)];
    lamp.redLabel = monitor.diagLabelsCanErr[static_cast<std::size_t>(i)];
  }
  panel.changed.notify();
}

}  // namespace oxalis
