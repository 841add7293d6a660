#include "sim/MeasurementFrame.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace oxalis::sim {

namespace {

constexpr double kAdcFullScaleMv = 5000.0;
constexpr double kAdcSteps = 1023.0;
constexpr std::uint16_t kProbeFactor = 10230;  // 1.0230
constexpr std::uint8_t kSlewRate = 12;

int Round(double v) { return static_cast<int>(std::lround(v)); }
std::uint8_t ByteOf(double v) { return static_cast<std::uint8_t>(std::clamp(Round(v), 0, 255)); }
std::uint16_t WordOf(double v) { return static_cast<std::uint16_t>(std::clamp(Round(v), 0, 0xFFFF)); }
std::uint16_t SignedWordOf(double v) {
  return static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(Round(v), -32768, 32767)));
}
std::uint16_t AdcWord(double mv) { return WordOf(mv * kAdcSteps / kAdcFullScaleMv); }

double Interpolate(const std::array<int, 32>& in, const std::array<int, 32>& out, int x) {
  if (x <= in.front()) return out.front();
  for (std::size_t k = 0; k + 1 < in.size(); ++k) {
    if (x >= in[k] && x <= in[k + 1]) {
      if (in[k + 1] == in[k]) return out[k];
      return out[k] + static_cast<double>(out[k + 1] - out[k]) * (x - in[k]) / (in[k + 1] - in[k]);
    }
  }
  return out.back();
}

int AnalogCurveMv(int richness1000) {
  std::array<int, 32> in{}, out{};
  std::copy(kDefaultCurveIn.begin(), kDefaultCurveIn.end(), in.begin());
  std::copy(kDefaultCurveOut.begin(), kDefaultCurveOut.end(), out.begin());
  return Round(Interpolate(in, out, richness1000));
}

class Bytes {
 public:
  void byte(std::uint8_t b) { text_.push_back(static_cast<char>(b)); }
  void word(std::uint16_t w) {
    byte(static_cast<std::uint8_t>(w >> 8));
    byte(static_cast<std::uint8_t>(w & 0xFF));
  }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
};

std::uint8_t RecordOffset(int channel) {
  return static_cast<std::uint8_t>(cfg::kChannelRecords + cfg::kChannelRecordSize * channel);
}

// The physical values of the five received channels: engine speed, throttle,
// coolant temperature, manifold pressure and the display's analogue input.
std::array<double, 5> ChannelValues(const EngineState& e, double analogInMv) {
  return {e.engineRpm, e.throttlePct, e.coolantC, e.manifoldKpa, analogInMv};
}

// The display scales a channel itself and sends the value in units of
// 10^-decimals, as a signed word.
std::uint16_t ScaledChannelWord(const ConfigurationMemory& c, int channel, double value) {
  const int decimals = std::min<int>(c[RecordOffset(channel) + 8], 3);
  return SignedWordOf(value * std::pow(10.0, decimals));
}

struct FastPart {
  int voutMv;
  int richness1000;
};

FastPart LambdaFastPart(const FrameInputs& in) {
  const ConfigurationMemory& c = in.configuration;
  if (in.engine.warmingUp) {
    // No valid measurement yet: the configured substitutes go out.
    const int richness = in.type == ModuleType::Oxl ? 1000 : ReadWordBigEndian(c, cfg::kRichInvalid);
    return {std::min<int>(ReadWordBigEndian(c, cfg::kVoutInvalid), 5000), std::min(richness, 2000)};
  }
  const int richness = std::clamp(Round(in.engine.richness * 1000.0), 0, 2000);
  return {std::clamp(OutputVoltageMv(in.program, richness), 0, 5000), richness};
}

void AppendFastPart(Bytes& out, const FastPart& f) {
  out.word(static_cast<std::uint16_t>(f.voutMv));
  out.word(static_cast<std::uint16_t>(f.richness1000));
  out.word(f.richness1000 > 0 ? WordOf(1'000'000.0 / f.richness1000) : 0xFFFF);
  // O2 in the exhaust: about 21 % of the excess air when lean, negative (the
  // oxygen the mixture lacks) when rich.
  out.word(SignedWordOf(2100.0 * (1000 - f.richness1000) / 1000.0));
}

std::uint8_t LambdaDiag(const EngineState& e) { return e.warmingUp ? diag::kWarmUp : 0; }

void AppendLambdaSlowSlot(Bytes& out, const FrameInputs& in) {
  const EngineState& e = in.engine;
  switch (in.selector) {
    case 0x01:
      out.word(WordOf(std::clamp(e.probeTempC, 0.0, 1500.0)));
      return;
    case 0x02: {
      out.byte(ByteOf(e.heaterVolt * 10.0));
      // Early first-generation firmware reports the duty cycle in 1/256.
      const bool dutyIn256ths = in.type == ModuleType::Oxl && in.configuration[cfg::kIdentity + 4] <= 16;
      out.byte(ByteOf(dutyIn256ths ? e.heaterPwmPct * 256.0 / 100.0 : e.heaterPwmPct));
      return;
    }
    case 0x04:
      out.byte(ByteOf(e.batteryVolt * 10.0));
      out.byte(ByteOf(e.internalTempC + 20.0));
      return;
    case 0x08:
      out.word(AdcWord(e.vgndMv));
      return;
    case 0x10:
      out.word(kProbeFactor);
      return;
    case 0x20:
      out.byte(LambdaDiag(e));
      out.byte(0);  // CAN error flags
      return;
    case 0x40:
      out.word(AdcWord(e.vgndMv + e.vsMv));
      return;
    default:  // 0x80
      out.byte(kSlewRate);
      out.byte(0);  // CAN error count
      return;
  }
}

void AppendDisplaySlowSlot(Bytes& out, const FrameInputs& in, double analogInMv, std::uint16_t channel5) {
  const EngineState& e = in.engine;
  const ConfigurationMemory& c = in.configuration;
  switch (in.selector) {
    case 0x01:
      out.word(WordOf(analogInMv));
      return;
    case 0x02:
      out.byte(c[cfg::kDisplayChannel]);
      out.byte(c[cfg::kDisplayFuelType]);
      return;
    case 0x04:
      out.byte(ByteOf(e.batteryVolt * 10.0));
      out.byte(c[cfg::kDisplayBrightness]);
      return;
    case 0x08:
      out.word(AdcWord(e.lightMv));
      return;
    case 0x10:
      out.word(channel5);
      return;
    case 0x20:
      out.byte(diag::kAnalogMode);
      out.byte(0);
      return;
    case 0x40:
      out.word(WordOf(e.lightKlux * 10.0));
      return;
    default:  // 0x80
      out.byte(0);
      out.byte(0);  // CAN error count
      return;
  }
}

std::string LambdaData(const FrameInputs& in) {
  Bytes out;
  AppendFastPart(out, LambdaFastPart(in));
  AppendLambdaSlowSlot(out, in);
  if (in.type == ModuleType::Ox2) {
    const auto values = ChannelValues(in.engine, 0.0);
    for (int k = 0; k < 4; ++k) out.word(RawChannelWord(in.configuration, RecordOffset(k), values[k]));
  }
  return out.take();
}

std::string DisplayData(const FrameInputs& in) {
  // The display reads the richness from the analogue output of a lambda
  // controller with the factory curve.
  const int richness = std::clamp(Round(in.engine.richness * 1000.0), 0, 2000);
  const int analogInMv = AnalogCurveMv(richness);
  const auto values = ChannelValues(in.engine, analogInMv);
  Bytes out;
  AppendFastPart(out, {analogInMv, richness});
  const std::uint16_t channel5 = ScaledChannelWord(in.configuration, 4, values[4]);
  AppendDisplaySlowSlot(out, in, analogInMv, channel5);
  for (int k = 0; k < 5; ++k) out.word(ScaledChannelWord(in.configuration, k, values[k]));
  return out.take();
}

std::string SteeringWheelData(const FrameInputs& in) {
  const auto values = ChannelValues(in.engine, 0.0);
  Bytes out;
  for (int k = 0; k < 3; ++k) out.word(RawChannelWord(in.configuration, RecordOffset(k), values[k]));
  out.byte(0);  // diagnostic flags
  out.byte(static_cast<std::uint8_t>(std::min<int>(RawChannelWord(in.configuration, RecordOffset(3), values[3]), 255)));
  return out.take();
}

std::string DrainToolData(const FrameInputs& in) {
  const EngineState& e = in.engine;
  const bool inrush = in.seconds < 2.0;
  Bytes out;
  out.byte(0);                                    // fused
  out.byte(inrush ? diag::kInrushDelay : 0);      // diagnostic flags
  out.byte(1);                                    // output on
  out.byte(ByteOf(e.batteryVolt * 10.0));         // battery, 0.1 V
  out.byte(ByteOf(e.pumpCurrentA * 10.0 / 2.0));  // pump current, 0.1 A, halved
  out.byte(ByteOf(e.pumpCurrentFilteredA * 10.0 / 2.0));
  out.byte(ByteOf(std::abs(e.pumpCurrentA - e.pumpCurrentFilteredA) * 10.0 / 2.0));
  out.byte(static_cast<std::uint8_t>(static_cast<int>(in.seconds) % 100));   // pump cycle count
  out.word(WordOf(e.pumpCurrentFilteredA * e.pumpCurrentFilteredA * 10.0));  // I2T
  out.byte(1);                                                               // switch position
  out.byte(ByteOf(e.overloadCurrentA * 5.0));                                // overload current, sent times 5
  return out.take();
}

}  // namespace

int OutputVoltageMv(const ProgramMemory& program, int richness1000) {
  std::array<int, 32> in{}, out{};
  for (std::size_t k = 0; k < 32; ++k) {
    in[k] = ReadWordLowFirst(program, static_cast<std::uint16_t>(prog::kOutputTables + 2 * k));
    out[k] = ReadWordLowFirst(program, static_cast<std::uint16_t>(prog::kOutputTables + 0x40 + 2 * k));
  }
  return Round(Interpolate(in, out, richness1000));
}

std::uint16_t RawChannelWord(const ConfigurationMemory& c, std::uint8_t recordOffset, double value) {
  const auto coefficient = [&c, recordOffset](int i) {
    return static_cast<double>(
        static_cast<std::int16_t>(ReadWordBigEndian(c, static_cast<std::uint8_t>(recordOffset + 2 * i))));
  };
  const double a = coefficient(0), b = coefficient(1), cc = coefficient(2), d = coefficient(3);
  const double divisor = a - cc * value;
  if (divisor == 0.0) return 0xFFFF;
  const long raw = std::lround((value * d - b) / divisor);
  if (raw < -32768) return 0;
  if (raw < 0) return static_cast<std::uint16_t>(raw + 65536);  // a signed channel
  return static_cast<std::uint16_t>(std::min<long>(raw, 0xFFFF));
}

std::string MeasurementData(const FrameInputs& in) {
  switch (in.type) {
    case ModuleType::Oxl:
    case ModuleType::Ox2:
      return LambdaData(in);
    case ModuleType::Pnu:
      return DisplayData(in);
    case ModuleType::Rmw:
      return SteeringWheelData(in);
    case ModuleType::Qtx:
      return DrainToolData(in);
  }
  return {};
}

}  // namespace oxalis::sim
