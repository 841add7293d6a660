#pragma once
// Between the core's plain data and Qt's types: UTF-8 texts, and colours
// stored as 0x00BBGGRR.
#include <QColor>
#include <QString>
#include <cstdint>
#include <string>

namespace oxalis {

inline QString qs(const std::string& text) { return QString::fromStdString(text); }

inline QColor toQColor(std::uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

inline std::uint32_t fromQColor(const QColor& colour) {
  return static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8 |
         static_cast<std::uint32_t>(colour.blue()) << 16;
}

}  // namespace oxalis
