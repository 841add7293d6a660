#include "setup/CanId.h"

#include <cctype>
#include <cstdio>

namespace oxalis {

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::uint32_t kMax11Bit = 0x7FF;
constexpr std::uint32_t kMax29Bit = 0x1FFFFFFF;
constexpr std::uint32_t kExtendedFlag = 0x80000000;

std::uint32_t hexValue(std::string_view digits) {
  std::uint32_t value = 0;
  for (char c : digits) value = value * 16 + static_cast<std::uint32_t>(kHexDigits.find(c));
  return value;
}

std::string hexText(std::uint32_t value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, static_cast<unsigned>(value));
  return buffer;
}

CanIdMessage tooHigh11() { return {"ID 11bit to high. No more than 0x7FF", "error", false}; }
CanIdMessage tooHigh29() { return {"ID 29bit to high. No more than 0x1FFFFFFF", "error", false}; }

}  // namespace

ParsedCanId ParseCanId(std::string_view text, CanIdContext context) {
  ParsedCanId result;
  std::string digits(text.starts_with("0x") ? text.substr(2) : text);
  for (char& c : digits) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (kHexDigits.find(c) == std::string_view::npos) {
      result.messages.push_back({"Invalid caracter", "error", true});
      return result;
    }
  }
  if (digits.size() > 8) digits = digits.substr(digits.size() - 8);

  bool extended = digits.size() > 3;
  if (extended && context.skynam) {
    if (!context.transmitIdsShort)
      result.messages.push_back({"IDs must be 11bits format with Skynam protocol option", "ID Error", true});
    extended = false;
  }
  result.accepted = true;
  if (extended) {
    if (digits.size() == 8 && digits[0] != '0' && digits[0] != '1') {
      result.messages.push_back(tooHigh29());
      digits = "1FFFFFFF";
    }
    std::uint32_t value = hexValue(digits);
    if (value > kMax29Bit) {
      result.messages.push_back(tooHigh29());
      value = kMax29Bit;
    }
    result.text = hexText(value, 8);
    return result;
  }
  // Up to eight digits always fit 32 bits; the 11-bit limit is checked on
  // the whole number.
  std::uint32_t value = hexValue(digits);
  if (value > kMax11Bit) {
    result.messages.push_back(tooHigh11());
    value = kMax11Bit;
  }
  result.text = hexText(value, 3);
  return result;
}

std::string FormatCanId(std::uint32_t value, bool upperHalf11Bit) {
  const std::uint32_t standard = upperHalf11Bit ? value / 65536 : value;
  if (standard <= kMax11Bit) return hexText(standard, 3);
  std::uint32_t extended = value & ~kExtendedFlag;
  if (extended > kMax29Bit) extended = kMax29Bit;
  return hexText(extended, 8);
}

std::uint32_t EncodeCanId(std::string_view text, bool upperHalf11Bit) {
  std::string_view digits = text.starts_with("0x") ? text.substr(2) : text;
  std::uint32_t value = 0;
  for (char c : digits) {
    const std::size_t d = kHexDigits.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (d == std::string_view::npos) break;
    value = value * 16 + static_cast<std::uint32_t>(d);
  }
  if (digits.size() > 3) return kExtendedFlag | (value & kMax29Bit);
  return upperHalf11Bit ? value * 65536 : value;
}

std::array<std::uint8_t, 4> BigEndian4(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

}  // namespace oxalis
