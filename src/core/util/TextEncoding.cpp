#include "util/TextEncoding.h"

#include <array>
#include <cstdint>

namespace oxalis {

namespace {

// The characters of bytes 0x80..0x9F. The undefined bytes read as the C1
// control of the same number.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The character starting at text[i]; i moves past it. An invalid sequence
// gives kInvalid and moves i by one byte only.
char32_t decodeUtf8(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  std::size_t length = 0;
  unsigned char low = 0x80;   // bounds of the second byte, which exclude
  unsigned char high = 0xBF;  // over-long forms, surrogates and > U+10FFFF
  char32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    ++i;
    return kInvalid;
  }
  if (text.size() - i < length || byte(i + 1) < low || byte(i + 1) > high) {
    ++i;
    return kInvalid;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if (!isContinuation(byte(i + k))) {
      ++i;
      return kInvalid;
    }
    value = (value << 6) | (byte(i + k) & 0x3Fu);
  }
  i += length;
  return value;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char toWindows1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t k = 0; k < kHighControls.size(); ++k)
    if (kHighControls[k] == c) return static_cast<char>(0x80 + k);
  return '?';
}

bool isAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

std::string Utf8ToWindows1252(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const char32_t c = decodeUtf8(utf8, i);
    out += c == kInvalid ? '?' : toWindows1252(c);
  }
  return out;
}

std::string Windows1252ToUtf8(std::string_view windows1252) {
  if (isAscii(windows1252)) return std::string(windows1252);
  std::string out;
  out.reserve(windows1252.size() + windows1252.size() / 2);
  for (char ch : windows1252) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80)
      out += ch;
    else if (b < 0xA0)
      appendUtf8(out, kHighControls[b - 0x80u]);
    else
      appendUtf8(out, b);
  }
  return out;
}

std::string RepairUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const char32_t c = decodeUtf8(text, i);
    appendUtf8(out, c == kInvalid ? kReplacement : c);
  }
  return out;
}

bool StripUtf8Bom(std::string_view& text) {
  if (text.substr(0, 3) != "\xEF\xBB\xBF") return false;
  text.remove_prefix(3);
  return true;
}

std::string DegreeSignForScreen(std::string text) {
  static constexpr std::string_view kOrdinal = "\u00BA";
  static constexpr std::string_view kDegree = "\u00B0";
  for (auto at = text.find(kOrdinal); at != std::string::npos; at = text.find(kOrdinal, at + kDegree.size()))
    text.replace(at, kOrdinal.size(), kDegree);
  return text;
}

}  // namespace oxalis
