#include "config/ChannelScaling.h"

#include <cmath>

#include "util/NumberFormat.h"

namespace oxalis {

std::int32_t scaleChannel(std::uint16_t raw, double a, double b, double c, double d, int decimals, double max) {
  double value = raw;
  if (max < 32768 && raw > 32767) value -= 65536;
  const double numerator = std::pow(10.0, decimals) * (a * value + b);
  const double denominator = d + c * value;
  return roundToInt32(safeDivide(numerator, denominator));
}

std::uint16_t unscaleChannel(double x, double a, double b, double c, double d) {
  const double raw = std::nearbyint(safeDivide(x * d - b, a - c * x));
  if (!(raw >= 0)) return 0;  // also catches NaN
  if (raw > 65535) return 65535;
  return static_cast<std::uint16_t>(raw);
}

}  // namespace oxalis
