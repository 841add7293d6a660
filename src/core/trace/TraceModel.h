#pragma once
// What the trace area `Oscillo` and the overview strip `Ctrl_Zoom` show.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "util/Notifier.h"
#include "trace/DisplayList.h"

namespace oxalis {

struct TraceModel {
  // Sizes in pixels, set by the window on every resize.
  int traceWidth = 0;
  int traceHeight = 0;
  int stripWidth = 0;
  int stripHeight = 0;
  // Width and height of a text in the font the window draws with.
  std::function<int(std::string_view)> textWidth = [](std::string_view t) { return static_cast<int>(t.size()) * 7; };
  int textHeight = 13;

  // The full picture of the trace area (grid and data), rebuilt by every
  // full repaint, and of the strip (overview box and time labels).
  DisplayList trace;
  DisplayList strip;
  // Counts full repaints: the window repaints its cached picture when this
  // changes, and otherwise only paints the lines appended to `trace.lines`
  // (newest segments) since it last looked.
  std::uint64_t repaintGeneration = 0;
  // The grid lines come first in `trace.lines`; the data lines follow them.
  std::size_t gridLines = 0;

  // Cursor overlay: the dotted line at cursorX (-1: none), the time box
  // `WCuseur` centred on it above the trace, and the ten value boxes.
  int cursorX = -1;
  std::string WCuseur;
  std::array<std::string, 10> ValCurseur{};
  std::array<std::uint32_t, 10> ValCurseurColor{};

  // The time-base list's text.
  std::string timeBaseText = "20s";

  // The mouse pointer over the trace: panning shows "hmove.cur", zooming
  // "MyZoom.cur" (the window falls back to a horizontal-resize pointer).
  enum class Pointer { Default, Pan, Zoom };
  Pointer pointer = Pointer::Default;

  Notifier changed;
};

}  // namespace oxalis
