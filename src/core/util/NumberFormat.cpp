#include "util/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace oxalis {

std::string TwoDigits(long value) { return (value < 10 ? "0" : "") + std::to_string(value); }

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace


std::string formatFixed(std::int32_t& value, bool isSigned, int decimals) {
  if (value > 65535) value = 65535;
  if (isSigned && value > 32767) value -= 65536;
  return formatFixedWide(value, decimals);
}

std::string formatFixedWide(std::int64_t value, int decimals) {
  // The magnitude of the most negative value does not fit its own type.
  const std::uint64_t magnitude =
      value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
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

std::int32_t roundToInt32(double value) {
  if (std::isnan(value)) return 0;
  const double r = std::nearbyint(value);
  if (r >= 2147483647.0) return 2147483647;
  if (r <= -2147483648.0) return -2147483647 - 1;
  return static_cast<std::int32_t>(r);
}

double safeDivide(double n, double d) { return d == 0 ? 99999.0 : n / d; }

std::string FormatPlainNumber(double value) {
  if (std::isnan(value) || value == 0) return "0";
  if (std::isinf(value)) value = std::copysign(std::numeric_limits<double>::max(), value);
  // The longest plain forms are the tiny (subnormal) values: "-0.", some
  // 320 zeros and up to 17 significant digits, well under 400 characters.
  char buffer[400];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (ec != std::errc{}) return "0";  // cannot happen with this buffer
  return std::string(buffer, end);
}

double ReadLeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Only digits and a point may follow: the conversion below would also take
  // a second sign, "inf" or "nan".
  const std::size_t start = i;
  std::size_t integerEnd = i;
  while (integerEnd < text.size() && isDigit(text[integerEnd])) ++integerEnd;
  std::size_t end = integerEnd;
  bool hasDigit = integerEnd > start;
  if (end < text.size() && text[end] == '.') {
    ++end;
    while (end < text.size() && isDigit(text[end])) {
      ++end;
      hasDigit = true;
    }
  }
  if (!hasDigit) return 0;  // no number, or a point alone

  double value = 0;
  const char* first = text.data() + start;
  const char* last = text.data() + end;
  const auto result = std::from_chars(first, last, value, std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) {
    bool large = false;
    for (std::size_t k = start; k < integerEnd; ++k) large = large || text[k] != '0';
    value = large ? std::numeric_limits<double>::max() : 0.0;
  } else if (result.ec != std::errc{}) {
    return 0;
  }
  return negative ? -value : value;
}

}  // namespace oxalis
