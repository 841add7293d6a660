#pragma once
// A picture as a list of drawing operations in pixel coordinates, computed by
// the core and painted by the window: boxes first, then lines in order (grid
// before data), then texts.
#include <cstdint>
#include <string>
#include <vector>

namespace oxalis {

struct DrawLine {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::uint32_t color = 0;  // 0x00BBGGRR
  bool dotted = false;
};

struct DrawBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  std::uint32_t color = 0;
  bool filled = true;
};

struct DrawText {
  int x = 0, y = 0;  // top-left corner of the text
  std::string text;
  std::uint32_t color = 0;
};

struct DisplayList {
  std::vector<DrawBox> boxes;
  std::vector<DrawLine> lines;
  std::vector<DrawText> texts;

  void clear() {
    boxes.clear();
    lines.clear();
    texts.clear();
  }
  bool empty() const { return boxes.empty() && lines.empty() && texts.empty(); }
};

}  // namespace oxalis
