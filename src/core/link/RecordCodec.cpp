#include "link/RecordCodec.h"

#include <algorithm>

namespace oxalis {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}

std::string HexDigits(long long value, int digits) {
  if (value < 0) value = 0x7FFF0000LL;
  std::string out;
  out.reserve(static_cast<std::size_t>(std::max(digits, 0)));
  for (int pos = digits - 1; pos >= 0; --pos) {
    const long long weight = 1LL << (4 * pos);
    const long long digit = std::min<long long>(value / weight, 15);
    out.push_back(kDigits[digit]);
    value -= digit * weight;
  }
  return out;
}

std::string HexByte(long long value) {
  if (value > 255) value = 255;
  if (value < 0) value &= 0xFF;
  return HexDigits(value, 2);
}

std::string HexWord(long long value) {
  if (value > 0xFFFF) value = 0xFFFF;
  if (value < 0) value = std::max<long long>(value + 0x10000, 0);
  return HexDigits(value, 4);
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::uint8_t HexToByte(std::string_view text) {
  int value = 0;
  for (char c : text.substr(0, 2)) value = value * 16 + std::max(HexDigitValue(c), 0);
  return static_cast<std::uint8_t>(value);
}

std::string RecordChecksum(std::string_view recordWithoutChecksum) {
  unsigned sum = 0;
  for (std::size_t i = 1; i < recordWithoutChecksum.size(); i += 2)
    sum += HexToByte(recordWithoutChecksum.substr(i, 2));
  return HexByte((256 - sum % 256) % 256);
}

long long SignedWordValue(long long value) {
  value = std::min<long long>(value, 0xFFFF);
  return value > 0x7FFF ? value - 0x10000 : value;
}

std::string WithChecksum(std::string recordWithoutChecksum) {
  recordWithoutChecksum += RecordChecksum(recordWithoutChecksum);
  return recordWithoutChecksum;
}

std::string BuildRecord(std::uint8_t type, std::uint16_t address, std::string_view data) {
  std::string text = ":" + HexByte(static_cast<long long>(data.size())) + HexWord(address) + HexByte(type);
  for (char byte : data) text += HexByte(static_cast<unsigned char>(byte));
  return WithChecksum(std::move(text));
}

}  // namespace oxalis
