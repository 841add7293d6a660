#include "monitor/NumberFormat.h"

#include <algorithm>
#include <cstdlib>

namespace oxalis {

std::string formatFixed(std::int32_t& value, bool isSigned, int decimals) {
  if (value > 65535) value = 65535;
  if (isSigned && value > 32767) value -= 65536;

  const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(value));
  std::string digits = std::to_string(magnitude);
  const auto places = static_cast<std::size_t>(std::clamp(decimals, 0, 255));
  if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
  if (places > 0) digits.insert(digits.size() - places, 1, '.');
  return (value < 0 ? "-" : " ") + digits;
}

std::string formatFixedValue(std::int64_t value, bool isSigned, int decimals) {
  std::int32_t copy = static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
  return formatFixed(copy, isSigned, decimals);
}

std::string formatDuration(std::int64_t seconds) {
  seconds = std::max<std::int64_t>(seconds, 0);
  const std::int64_t hours = seconds / 3600;
  const std::int64_t minutes = seconds % 3600 / 60;
  return std::to_string(hours) + "h " + formatFixedValue(minutes, false, 0) + "mn " +
         formatFixedValue(seconds % 60, false, 0) + "s";
}

double safeDivide(double n, double d) { return d == 0 ? 99999.0 : n / d; }

}  // namespace oxalis
