#pragma once
// What the trace area `Oscillo` and the overview strip `Ctrl_Zoom` show.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

  // The full picture of the trace area (grid, value labels with the drawn
  // quantity's name and unit, data), the time axis under it (a tick and the
  // time in seconds for each grid line, and the unit) and the strip (the
  // overview box), all rebuilt by every full repaint. The axis is as wide as
  // the trace area; its texts and ticks hang from its top edge.
  DisplayList trace;
  DisplayList axis;
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

  // Measuring: cursor B's line (-1: none); the legend (each drawn
  // quantity with its unit, its scale when not the labelled one, and its
  // value at cursor A), shown once more than one is drawn or B is placed;
  // and the readout between A and B, a row per drawn quantity, with the
  // time from A to B in seconds.
  int cursorBX = -1;
  struct LegendEntry {
    std::string text;
    std::uint32_t color = 0;
  };
  std::vector<LegendEntry> legend;
  struct ReadoutRow {
    std::string name, unit, a, b, delta, min, max, mean;
    std::uint32_t color = 0;
  };
  std::vector<ReadoutRow> readout;
  std::string readoutTime;

  // The time base chosen in the list (kept in the settings), and what the
  // list's box shows: the span on screen, named by its entry when it is
  // one, otherwise in seconds ("0.52s" after a zoom on 26 samples).
  std::string timeBaseText = "20s";
  std::string spanText = "20s";

  // While a right-button drag would zoom in: the pixel columns of the range
  // it covers, drawn over the trace as a rectangle (-1: none).
  int zoomBandLeft = -1;
  int zoomBandRight = -1;

  // The mouse pointer over the trace: panning shows "hmove.cur", zooming
  // "MyZoom.cur" (the window falls back to a horizontal-resize pointer).
  enum class Pointer { Default, Pan, Zoom };
  Pointer pointer = Pointer::Default;

  Notifier changed;
};

}  // namespace oxalis
