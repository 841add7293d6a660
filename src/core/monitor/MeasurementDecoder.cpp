#include "monitor/MeasurementDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <utility>

#include "config/ChannelScaling.h"
#include "monitor/Monitor.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {

enum class Layout { None, Oxl, Ox2, Pnu, Qtx, Rmw };

Layout layoutOf(const std::string& deviceCode) {
  if (deviceCode == "OXL") return Layout::Oxl;
  if (deviceCode == "OX2") return Layout::Ox2;
  if (deviceCode == "PNU") return Layout::Pnu;
  if (deviceCode == "QTX") return Layout::Qtx;
  if (deviceCode == "RMW") return Layout::Rmw;
  return Layout::None;
}

// The record's data bytes; a byte past the end of a short record reads 0.
class RecordBytes {
 public:
  explicit RecordBytes(std::span<const std::uint8_t> data) : data_(data) {}
  std::int32_t byte(std::size_t i) const { return i < data_.size() ? data_[i] : 0; }
  // Big-endian word at bytes i, i+1.
  std::int32_t word(std::size_t i) const { return byte(i) * 256 + byte(i + 1); }

 private:
  std::span<const std::uint8_t> data_;
};

// Fast-field offsets (Oxalis and Panora) and the two slow-slot bytes.
constexpr std::size_t kVout = 0;
constexpr std::size_t kRichness = 2;
constexpr std::size_t kLambda = 4;
constexpr std::size_t kO2 = 6;
constexpr std::size_t kSlow0 = 8;
constexpr std::size_t kSlow1 = 9;
constexpr std::size_t kFirstChannel = 10;

constexpr std::int32_t kVoutLimit = 5000;
constexpr std::int32_t kRichnessLimit = 2000;
constexpr std::int32_t kAirFuelLimit = 65535;
constexpr std::int32_t kProbeTempLimit = 1500;
constexpr std::int32_t kMillivoltLimit = 5000;
constexpr std::int32_t kAdcFullScale = 1023;  // 10-bit converter on a 5 V reference
constexpr std::uint8_t kOldHeaterFirmware = 16;  // up to 1.6 the heater duty is sent in 1/256

std::int32_t signedWord(std::int32_t word) { return word > 32767 ? word - 65536 : word; }

std::int32_t clampInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, -2147483647 - 1, 2147483647));
}

bool setText(std::string& target, std::string text) {
  if (target == text) return false;
  target = std::move(text);
  return true;
}

bool setErrorCountTooltips(Monitor& monitor) {
  const std::string text = "Error count = " + std::to_string(monitor.live.canErrorCount);
  DiagLampModel& lamp = monitor.livePanel.lamps[8];
  const bool green = setText(lamp.greenTooltip, text);
  const bool red = setText(lamp.redTooltip, text);
  return green || red;
}

void decodeFastFields(Monitor& monitor, const RecordBytes& d, bool moduleLambda) {
  LiveValues& live = monitor.live;
  live.vOutMv = std::min(d.word(kVout), kVoutLimit);
  live.richness = std::min(d.word(kRichness), kRichnessLimit);
  // With the factory window open the module's own lambda is shown, so that
  // its computation can be checked against the richness.
  live.lambda = moduleLambda ? d.word(kLambda) : roundToInt32(safeDivide(1e6, live.richness));
  live.o2 = signedWord(d.word(kO2));
  if (live.richness < 2)
    live.airFuel = kAirFuelLimit;
  else
    live.airFuel = std::min(roundToInt32(monitor.stoichRatio * 100000 / live.richness), kAirFuelLimit);
}

// Slow slot of the lambda controller; returns whether a tooltip changed.
bool decodeOxalisSlot(Monitor& monitor, const RecordBytes& d, std::uint8_t selector, bool firstGeneration) {
  LiveValues& live = monitor.live;
  const std::int32_t s0 = d.byte(kSlow0);
  const std::int32_t s1 = d.byte(kSlow1);
  const std::int32_t word = d.word(kSlow0);
  switch (selector) {
    case 0x01:
      live.probeTempC = std::min(word, kProbeTempLimit);
      return false;
    case 0x02:
      live.heaterVolt = s0;
      live.heaterPwm = firstGeneration && monitor.module.fwMajor <= kOldHeaterFirmware ? s1 * 100 / 256 : s1;
      return false;
    case 0x04:
      live.batteryVolt = s0;
      live.internalTempC = s1 - 20;
      return false;
    case 0x08:
      live.vgndMv = std::min(word * 5000 / kAdcFullScale, kMillivoltLimit);
      return false;
    case 0x10:
      live.probeFactor = word;
      return setText(monitor.livePanel.cells[5].labelTooltip, "KTsonde: " + formatFixed(live.probeFactor, false, 4));
    case 0x20:
      live.diagFlags = s0;
      live.canErrorFlags = s1 & 0x3F;
      return false;
    case 0x40: {
      const std::int64_t vs = std::int64_t{word} * 5000 / kAdcFullScale - live.vgndMv;
      live.vsMv = clampInt32(std::min<std::int64_t>(vs, kMillivoltLimit));
      return false;
    }
    case 0x80:
      live.slewRate = s0;
      live.canErrorCount = s1;
      return setErrorCountTooltips(monitor);
    default:
      return false;
  }
}

// Slow slot of the display; returns whether a tooltip changed.
bool decodePanoraSlot(Monitor& monitor, const RecordBytes& d, std::uint8_t selector) {
  LiveValues& live = monitor.live;
  const std::int32_t s0 = d.byte(kSlow0);
  const std::int32_t s1 = d.byte(kSlow1);
  const std::int32_t word = d.word(kSlow0);
  switch (selector) {
    case 0x01:
      live.vinMv = word;
      return false;
    case 0x02:
      live.channelSelect = s0;
      live.fuelType = s1;
      return false;
    case 0x04:
      live.batteryVolt = s0;
      // 0 means the display did not report its brightness: keep the last one.
      if (s1 != 0) live.brightnessPct = s1 * 25 - 25;  // 1 is "Auto", shown for 0
      return false;
    case 0x08:
      // Rounded to nearest: 5000 and 1023 share no factor, so no value
      // falls half-way.
      live.vluxMv = (word * 10000 + kAdcFullScale) / (2 * kAdcFullScale);
      return false;
    case 0x10:
      live.channel[4] = signedWord(word);  // the channel words below overwrite it
      return false;
    case 0x20:
      live.diagFlags = s0;
      live.canErrorFlags = s1 & 0x3F;
      return false;
    case 0x40:
      live.klux = word;
      return false;
    case 0x80:
      live.canErrorCount = s1;
      return setErrorCountTooltips(monitor);
    default:
      return false;
  }
}

// The fuel tank drain tool puts its own quantities into the fields that
// cells 0-7, 10 and 11 show for the lambda controller.
void decodeDrainTool(LiveValues& live, const RecordBytes& d) {
  live.vgndMv = d.byte(0);         // cell 10
  live.diagFlags = d.byte(1);
  live.vsMv = d.byte(2);           // cell 11
  live.batteryVolt = d.byte(3);    // cell 7
  live.vOutMv = d.byte(4) * 2;     // cell 0
  live.richness = d.byte(5) * 2;   // cell 1
  live.lambda = d.byte(6) * 2;     // cell 2
  live.o2 = d.byte(7);             // cell 3
  live.airFuel = d.word(8);        // cell 4
  live.internalTempC = d.byte(10); // cell 6
  live.probeTempC = (d.byte(11) + 2) / 5;  // cell 5: byte / 5 rounded (never half-way)
  // The trace draws the first four cells as channels.
  live.channel[0] = live.vOutMv;
  live.channel[1] = live.richness;
  live.channel[2] = live.lambda;
  live.channel[3] = live.o2;
}

void decodeSteeringWheel(LiveValues& live, const RecordBytes& d) {
  live.channel[0] = d.word(0);
  live.channel[1] = d.word(2);
  live.channel[2] = d.word(4);
  live.channel[3] = d.byte(7);
  live.diagFlags = d.byte(6);
}

void decodeChannels(Monitor& monitor, const RecordBytes& d, Layout layout) {
  LiveValues& live = monitor.live;
  if (layout == Layout::Ox2) {
    for (int k = 0; k < 4; ++k) {
      const ChannelDefinition& ch = monitor.channels.slot(k + 1);
      const auto raw = static_cast<std::uint16_t>(d.word(kFirstChannel + 2 * static_cast<std::size_t>(k)));
      live.channel[static_cast<std::size_t>(k)] = scaleChannel(raw, ch.A, ch.B, ch.C, ch.D, ch.Dec, ch.Max);
    }
  } else if (layout == Layout::Pnu) {
    // The display sends its channels already scaled: only the sign rule of
    // the channel's scale applies.
    for (int k = 0; k < 5; ++k) {
      const ChannelDefinition& ch = monitor.channels.slot(k + 1);
      const auto raw = static_cast<std::uint16_t>(d.word(kFirstChannel + 2 * static_cast<std::size_t>(k)));
      live.channel[static_cast<std::size_t>(k)] = scaleChannel(raw, 1, 0, 0, std::pow(10.0, ch.Dec), ch.Dec, ch.Max);
    }
  }
}

}  // namespace

void decodeMeasurement(Monitor& monitor, std::span<const std::uint8_t> data, std::uint8_t selector,
                       bool moduleLambda) {
  const Layout layout = layoutOf(monitor.module.deviceCode);
  if (layout == Layout::None) return;

  const RecordBytes d(data);
  decodeFastFields(monitor, d, moduleLambda);

  bool tooltipChanged = false;
  if (layout == Layout::Oxl || layout == Layout::Ox2)
    tooltipChanged = decodeOxalisSlot(monitor, d, selector, layout == Layout::Oxl);
  else if (layout == Layout::Pnu)
    tooltipChanged = decodePanoraSlot(monitor, d, selector);

  if (layout == Layout::Qtx) decodeDrainTool(monitor.live, d);
  if (layout == Layout::Rmw) decodeSteeringWheel(monitor.live, d);
  decodeChannels(monitor, d, layout);

  if (tooltipChanged) monitor.livePanel.changed.notify();
}

}  // namespace oxalis
